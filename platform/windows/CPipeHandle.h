#pragma once

#include <utility>
#include <windows.h>

namespace lumo::win32 {

// An owned kernel handle of the pipe code: a pipe end or an event, closed
// with the object. Either failure value of the system (null or
// INVALID_HANDLE_VALUE) makes an invalid one.
class CPipeHandle {
public:
    CPipeHandle() = default;
    explicit CPipeHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    CPipeHandle(CPipeHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CPipeHandle& operator=(CPipeHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    CPipeHandle(const CPipeHandle&) = delete;
    CPipeHandle& operator=(const CPipeHandle&) = delete;
    ~CPipeHandle() { reset(); }

    // An event that is not set. Throws CError "Error creating event
    // (%ERRORDESC%)." when the system refuses.
    static CPipeHandle makeEvent(bool bManualReset);

    HANDLE get() const { return m_handle; }
    bool isValid() const { return m_handle != nullptr; }
    void reset()
    {
        if (m_handle)
            CloseHandle(std::exchange(m_handle, nullptr));
    }

private:
    HANDLE m_handle = nullptr;
};

} // namespace lumo::win32
