#include "foundation/sync/posix/CGlobalMutexImpl.h"

#include "foundation/CException.h"
#include "foundation/sync/posix/getMonotonicDeadline.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::posix {

struct CGlobalMutexImpl::SShared {
    // Set once the mutex is initialised. Until then the object is only
    // touched under an exclusive file lock, which the system drops when its
    // holder dies, so a process that dies half-way leaves the work to the
    // next one.
    uint32_t readyMarker;
    pthread_mutex_t mutex;
};

namespace {

constexpr uint32_t readyMarker = 0x4c4d5458;
constexpr char namePrefix[] = "/lumo.globalmutex.";
// Leaves room below the system's limit of 255 for the prefix and the hash.
constexpr size_t longestEscapedName = 200;

bool isPlainNameByte(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '.' || byte == '_' || byte == '-';
}

uint64_t hashBytes(const std::string& bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

// A descriptor closed when the scope ends.
class CDescriptor {
public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int openSharedMemory(const std::string& name)
{
    int fd;
    do
        fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool lockFile(int fd, int operation)
{
    int result;
    do
        result = flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool growTo(int fd, off_t size)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    if (status.st_size >= size)
        return true;
    int result;
    do
        result = ftruncate(fd, size);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool initialiseMutex(pthread_mutex_t* mutex)
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    bool ok = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) == 0 &&
              pthread_mutex_init(mutex, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    return ok;
}

} // namespace

std::string CGlobalMutexImpl::getSharedMemoryName(const String& name)
{
    std::string bytes = name.toUTF8();
    std::string escaped;
    for (unsigned char byte : bytes) {
        if (isPlainNameByte(byte)) {
            escaped += static_cast<char>(byte);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            escaped += hex;
        }
    }
    if (escaped.size() > longestEscapedName) {
        char hash[18];
        std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(hashBytes(bytes)));
        escaped.resize(longestEscapedName - (sizeof hash - 1));
        escaped += hash;
    }
    return namePrefix + escaped;
}

CGlobalMutexImpl::CGlobalMutexImpl(const String& name) : m_name(name), m_shared(nullptr)
{
    CDescriptor fd(openSharedMemory(getSharedMemoryName(name)));
    if (fd.get() < 0 || !lockFile(fd.get(), LOCK_EX))
        throw CException("Error createing global mutex " + name, String());
    void* mapping = MAP_FAILED;
    if (growTo(fd.get(), sizeof(SShared)))
        mapping = mmap(nullptr, sizeof(SShared), PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
    bool ready = mapping != MAP_FAILED;
    if (ready) {
        m_shared = static_cast<SShared*>(mapping);
        if (m_shared->readyMarker != readyMarker) {
            ready = initialiseMutex(&m_shared->mutex);
            if (ready)
                m_shared->readyMarker = readyMarker;
        }
    }
    lockFile(fd.get(), LOCK_UN);
    if (!ready) {
        if (m_shared)
            munmap(m_shared, sizeof(SShared));
        throw CException("Error createing global mutex " + name, String());
    }
}

CGlobalMutexImpl::~CGlobalMutexImpl()
{
    for (int depth = m_depth.load(); depth > 0; --depth)
        if (pthread_mutex_unlock(&m_shared->mutex) != 0) {
            // Another thread holds the lock through this object. The system
            // keeps a list of held robust locks inside them, so the memory
            // must stay mapped; it is left to the end of the process.
            return;
        }
    munmap(m_shared, sizeof(SShared));
}

void CGlobalMutexImpl::lock()
{
    if (!acquired(pthread_mutex_lock(&m_shared->mutex)))
        throwLockError();
}

bool CGlobalMutexImpl::tryLock(uint32_t timeoutMs)
{
    if (timeoutMs == noTimeout) {
        lock();
        return true;
    }
    int result;
    if (timeoutMs == 0) {
        result = pthread_mutex_trylock(&m_shared->mutex);
    } else {
        timespec deadline = getMonotonicDeadline(timeoutMs);
        result = pthread_mutex_clocklock(&m_shared->mutex, CLOCK_MONOTONIC, &deadline);
    }
    if (result == EBUSY || result == ETIMEDOUT)
        return false;
    if (!acquired(result))
        throwLockError();
    return true;
}

void CGlobalMutexImpl::unlock()
{
    if (pthread_mutex_unlock(&m_shared->mutex) == 0)
        --m_depth;
}

bool CGlobalMutexImpl::acquired(int result)
{
    if (result == EOWNERDEAD) {
        // The owner died holding the lock; what it guarded is ours to
        // repair, and the lock stays usable for everyone after us.
        if (pthread_mutex_consistent(&m_shared->mutex) != 0) {
            pthread_mutex_unlock(&m_shared->mutex);
            return false;
        }
        result = 0;
    }
    if (result != 0)
        return false;
    ++m_depth;
    return true;
}

void CGlobalMutexImpl::throwLockError() const { throw CException("Error locking global mutex " + m_name, String()); }

} // namespace lumo::posix
