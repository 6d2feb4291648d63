#include "bench/benchProcesses.h"

#include "foundation/CURI.h"
#include "platform/ISystem.h"

#include <cerrno>
#include <cstdlib>
#include <sched.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nebo::bench {

namespace {

template <class Call> bool moveAll(Call call, size_t count)
{
    for (size_t done = 0; done < count;) {
        const ssize_t moved = call(done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        done += static_cast<size_t>(moved);
    }
    return true;
}

} // namespace

int64_t getCurrentProcessID() { return ::getpid(); }

void setEnvironment(const char* name, const char* value)
{
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

bool runOnlyOnProcessor(int index)
{
    cpu_set_t processors;
    CPU_ZERO(&processors);
    CPU_SET(index, &processors);
    return sched_setaffinity(0, sizeof processors, &processors) == 0;
}

std::string makeWorkFolder()
{
    const lumo::P<lumo::ISystem> system = lumo::getSystem();
    const lumo::P<lumo::CURI> folder =
        system->createUniqueFolder(*system->getTempDirectory(), lumo::String("nebo-bench-"), lumo::String(""));
    std::string path = folder->getNativePath().toUTF8();
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool CPeerSocket::send(const void* bytes, size_t count)
{
    const auto* data = static_cast<const char*>(bytes);
    return moveAll([&](size_t done) { return ::send(int(m_handle), data + done, count - done, MSG_NOSIGNAL); }, count);
}

bool CPeerSocket::receive(void* bytes, size_t count)
{
    auto* data = static_cast<char*>(bytes);
    return moveAll([&](size_t done) { return ::recv(int(m_handle), data + done, count - done, 0); }, count);
}

void CPeerSocket::close()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
}

CForkedPeer::CForkedPeer(const std::function<int(CPeerSocket& socket)>& serve)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw std::runtime_error("socketpair failed");
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(ends[0]);
        CPeerSocket socket(ends[1]);
        ::_exit(serve(socket));
    }
    ::close(ends[1]);
    m_socket = CPeerSocket(ends[0]);
    m_child = child;
}

CForkedPeer::~CForkedPeer()
{
    m_socket.close();
    ::waitpid(pid_t(m_child), nullptr, 0);
}

} // namespace nebo::bench
