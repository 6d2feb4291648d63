#pragma once

#include <unistd.h>
#include <utility>

namespace lumo::posix {

// Owns one open descriptor and closes it when dropped or replaced. Moving
// hands the descriptor over; copies are not allowed.
class CFileDescriptor {
public:
    CFileDescriptor() noexcept = default;
    // Takes over `fd`; a negative value holds nothing.
    explicit CFileDescriptor(int fd) noexcept : m_fd(fd) {}
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    ~CFileDescriptor() { reset(); }

    int get() const noexcept { return m_fd; }
    bool isValid() const noexcept { return m_fd >= 0; }

    // Linux frees the descriptor even when close() is interrupted, so it is
    // never retried.
    void reset() noexcept
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

} // namespace lumo::posix
