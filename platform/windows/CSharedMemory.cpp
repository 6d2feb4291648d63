#include "platform/windows/CSharedMemory.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/throwSystemError.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>

namespace lumo::win32 {

CSharedMemory::CSharedMemory(int64_t size) : m_size(size)
{
    if (size < 1)
        throw CInvalidArgError("shared memory needs at least one byte", "CSharedMemory", nullptr,
                               &typeid(CSharedMemory));
    // A 32-bit process could not map more than its address space.
    if (static_cast<uint64_t>(size) > SIZE_MAX)
        throwSystemError("Shared memory could not be made: %ERRORDESC%", ERROR_NOT_ENOUGH_MEMORY);
    const auto bytes = static_cast<uint64_t>(size);
    m_section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                   static_cast<DWORD>(bytes), nullptr);
    if (!m_section)
        throwSystemError("Shared memory could not be made: %ERRORDESC%", static_cast<int>(GetLastError()));
    m_data = static_cast<uint8_t*>(
        MapViewOfFile(m_section, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(bytes)));
    if (!m_data) {
        const DWORD error = GetLastError();
        CloseHandle(m_section);
        throwSystemError("Shared memory could not be mapped: %ERRORDESC%", static_cast<int>(error));
    }
}

CSharedMemory::~CSharedMemory()
{
    UnmapViewOfFile(m_data);
    CloseHandle(m_section);
}

uint8_t* CSharedMemory::getData() { return m_data; }

int64_t CSharedMemory::getSize() { return m_size; }

bool CSharedMemory::prepareForWriting(int64_t bytes)
{
    const int64_t length = std::min(bytes, m_size);
    if (length < 1)
        return false;
    WIN32_MEMORY_RANGE_ENTRY range{m_data, static_cast<SIZE_T>(length)};
    return PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0) != FALSE;
}

} // namespace lumo::win32

namespace lumo {

P<ISharedMemory> createSharedMemory(int64_t size) { return make<win32::CSharedMemory>(size); }

} // namespace lumo
