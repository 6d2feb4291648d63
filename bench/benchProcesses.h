#pragma once

// The process and socket helpers of the benchmarks that measure against a
// bare transport between two processes. On POSIX a peer is a forked copy of
// the running program: make peers before any thread starts.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace nebo::bench {

// The system's id of this process, as a slave's command line names its master.
int64_t getCurrentProcessID();

// Sets `name` in this process's environment; null removes it.
void setEnvironment(const char* name, const char* value);

// Keeps this process, and the processes it makes from now on, on processor
// `index` alone; false where the system refuses (no such processor).
bool runOnlyOnProcessor(int index);

// A new folder of our own below the platform's temporary folder, without a
// trailing "/". Throws lumo::CError when none can be made.
std::string makeWorkFolder();

// One end of a connected stream of bytes between two processes.
class CPeerSocket {
public:
    explicit CPeerSocket(intptr_t handle) : m_handle(handle) {}
    // Moves all `count` bytes; false once the other end is gone.
    bool send(const void* bytes, size_t count);
    bool receive(void* bytes, size_t count);
    // Closes this end for good.
    void close();

private:
    intptr_t m_handle;
};

// A child process that runs `serve` with its end of a new connected socket;
// what `serve` answers is the child's exit status, and the child ends there.
// Throws std::runtime_error when no child can be made. The destructor closes
// this process's end, which tells a serving child to finish, and waits for
// the child to end.
class CForkedPeer {
public:
    explicit CForkedPeer(const std::function<int(CPeerSocket& socket)>& serve);
    ~CForkedPeer();
    CForkedPeer(const CForkedPeer&) = delete;
    CForkedPeer& operator=(const CForkedPeer&) = delete;

    CPeerSocket& socket() { return m_socket; }

private:
    CPeerSocket m_socket{-1};
    intptr_t m_child = -1;
};

} // namespace nebo::bench
