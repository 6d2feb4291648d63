#include "platform/posix/CSharedMemory.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/throwSystemError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <typeinfo>
#include <unistd.h>

namespace lumo::posix {

namespace {

constexpr unsigned int sizeSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL;

CFileDescriptor createSealedFile(int64_t size)
{
    CFileDescriptor file(::memfd_create("nebo-shared", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!file.isValid())
        throwSystemError("Shared memory could not be made: %ERRORDESC%", errno);
    int result;
    while ((result = ::ftruncate(file.get(), static_cast<off_t>(size))) != 0 && errno == EINTR) {
    }
    if (result != 0)
        throwSystemError("Shared memory could not be sized: %ERRORDESC%", errno);
    // Sealed before the peer sees it: a peer that could shrink the file
    // would make the other side's reads of the lost pages fault.
    if (::fcntl(file.get(), F_ADD_SEALS, sizeSeals) != 0)
        throwSystemError("Shared memory could not be sealed: %ERRORDESC%", errno);
    return file;
}

} // namespace

CSharedMemory::CSharedMemory(int64_t size) : m_size(size)
{
    if (size < 1)
        throw CInvalidArgError("shared memory needs at least one byte", "CSharedMemory", nullptr,
                               &typeid(CSharedMemory));
    m_file = createSealedFile(size);
    map();
}

CSharedMemory::CSharedMemory(CFileDescriptor file) : m_file(std::move(file))
{
    struct stat status {};
    if (::fstat(m_file.get(), &status) != 0)
        throwSystemError("Received shared memory could not be examined: %ERRORDESC%", errno);
    if (status.st_size < 1)
        throwSystemError("Received shared memory could not be used: %ERRORDESC%", EINVAL);
    m_size = status.st_size;
    map();
}

CSharedMemory::~CSharedMemory() { ::munmap(m_data, static_cast<size_t>(m_size)); }

void CSharedMemory::map()
{
    void* data = ::mmap(nullptr, static_cast<size_t>(m_size), PROT_READ | PROT_WRITE, MAP_SHARED, m_file.get(), 0);
    if (data == MAP_FAILED)
        throwSystemError("Shared memory could not be mapped: %ERRORDESC%", errno);
    m_data = static_cast<uint8_t*>(data);
}

uint8_t* CSharedMemory::getData() { return m_data; }

int64_t CSharedMemory::getSize() { return m_size; }

bool CSharedMemory::prepareForWriting(int64_t bytes)
{
    const int64_t length = std::min(bytes, m_size);
    // Kernels before 5.14 refuse the advice; nothing is lost but the speed.
    return length > 0 && ::madvise(m_data, static_cast<size_t>(length), MADV_POPULATE_WRITE) == 0;
}

} // namespace lumo::posix

namespace lumo {

P<ISharedMemory> createSharedMemory(int64_t size) { return make<posix::CSharedMemory>(size); }

} // namespace lumo
