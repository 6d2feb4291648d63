// Pictures per second that a master reads through a source client from
// nebo_demo in a real nebo_slave, next to the bare transfer of the same
// bytes per picture over a socket pair between two processes, which is what
// the pipe could do at best. Rounds of the two alternate, so that a busy
// machine slows both alike; the medians and their ratio are printed.

#include "bench/benchSupport.h"
#include "foundation/CURI.h"
#include "foundation/castObject.h"
#include "host/CNEBPluginClient.h"
#include "host/IVideoSource.h"
#include "media/INEBPicture.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "streams/CMemoryManager.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using nebo::bench::median;

using namespace lumo;
using nebo::common::INEBPicture;
using nebo::common::IVideoSource;
using Clock = std::chrono::steady_clock;

constexpr int32_t width = 1920;
constexpr int32_t height = 1080;
constexpr int rounds = 15;
constexpr int picturesPerRound = 30;

struct SLayout {
    const char* name;
    int32_t type;
    int64_t bytes;
};

const SLayout layouts[] = {{"nv12", 3, int64_t(width) * height * 3 / 2}, {"rgb", 1, int64_t(width) * height * 4}};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A child process that answers a request byte, the index of a layout, with
// that layout's bytes from a buffer made once. Made before any thread
// starts, as it forks.
class CBareTransfer {
public:
    CBareTransfer() : m_buffer(static_cast<size_t>(largestPicture()))
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            throw std::runtime_error("socketpair failed");
        m_child = ::fork();
        if (m_child < 0)
            throw std::runtime_error("fork failed");
        if (m_child == 0) {
            ::close(ends[0]);
            serve(ends[1]);
        }
        ::close(ends[1]);
        m_socket = ends[0];
    }

    ~CBareTransfer()
    {
        ::close(m_socket);
        ::waitpid(m_child, nullptr, 0);
    }

    CBareTransfer(const CBareTransfer&) = delete;
    CBareTransfer& operator=(const CBareTransfer&) = delete;

    // Seconds for `count` pictures of `layout`.
    double time(uint8_t layout, int count)
    {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < count; ++i) {
            if (::send(m_socket, &layout, 1, MSG_NOSIGNAL) != 1)
                throw std::runtime_error("the bare transfer's child is gone");
            transfer(m_socket, m_buffer.data(), pictureBytes(layout), &::recv);
        }
        return secondsSince(start);
    }

private:
    static int64_t largestPicture()
    {
        int64_t largest = 0;
        for (const SLayout& layout : layouts)
            largest = std::max(largest, layout.bytes);
        return largest;
    }

    static size_t pictureBytes(uint8_t layout) { return static_cast<size_t>(layouts[layout].bytes); }

    template <class Call> static void transfer(int socket, uint8_t* data, size_t size, Call call)
    {
        for (size_t done = 0; done < size;) {
            const ssize_t moved = call(socket, data + done, size - done, MSG_NOSIGNAL);
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved <= 0)
                throw std::runtime_error("the bare transfer broke off");
            done += static_cast<size_t>(moved);
        }
    }

    [[noreturn]] void serve(int socket)
    {
        std::fill(m_buffer.begin(), m_buffer.end(), uint8_t(0x5a));
        uint8_t layout;
        try {
            while (::recv(socket, &layout, 1, 0) == 1 && layout < std::size(layouts))
                transfer(socket, m_buffer.data(), pictureBytes(layout),
                         [](int s, uint8_t* data, size_t size, int flags) { return ::send(s, data, size, flags); });
        } catch (...) {
            // The parent went away mid-picture: nobody is left to tell.
        }
        ::_exit(0);
    }

    std::vector<uint8_t> m_buffer;
    int m_socket = -1;
    pid_t m_child = -1;
};

// A slave serving a 1920 x 1080 demo clip in one layout, opened.
class CSlaveSource {
public:
    CSlaveSource(const std::string& program, const std::string& errorFile, const SLayout& layout) : m_layout(layout)
    {
        const std::string pipeName = "nebo_slave-" + std::to_string(getpid()) + "-" + layout.name;
        const std::string arguments =
            " " + std::to_string(getpid()) + " " + pipeName + " nebo_demo file://" + errorFile + " 2";
        m_server = getPipeManager()->createServer(String::fromUTF8(pipeName));
        m_starter = make<nebo::bench::CProgramStarter>(program, arguments);
        m_pipe = m_server->acceptClient(m_starter.get());
        if (!m_pipe)
            throw std::runtime_error("the slave did not connect: " + program);
        P<nebo::common::CNEBPluginClient> plugin = make<nebo::common::CNEBPluginClient>(
            m_pipe->getInStream(), m_pipe->getOutStream(), make<CMemoryManager>(30));
        const std::string uri = "file:///bench.demo?w=" + std::to_string(width) + "&h=" + std::to_string(height) +
                                "&fmt=" + layout.name + "&frames=100000";
        m_source = castObject<IVideoSource>(plugin->tryCreateSource(*make<CURI>(String::fromUTF8(uri)), 1, true,
                                                                    nullptr),
                                            false);
        if (!m_source)
            throw std::runtime_error("the slave made no picture source");
        m_source->open();
    }

    ~CSlaveSource()
    {
        // Releasing the pipe server ends the slave.
        m_source = nullptr;
        m_pipe = nullptr;
        m_server = nullptr;
        for (int i = 0; i < 5000 && m_starter->getProcess() && !m_starter->getProcess()->hasTerminated(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Seconds for `count` pictures, each checked for its layout and size.
    double time(int count)
    {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < count; ++i) {
            const P<INEBPicture> picture = m_source->getNextPicture();
            if (!picture || picture->getType() != m_layout.type || picture->getWidth() != width ||
                picture->getHeight() != height)
                throw std::runtime_error(std::string("a wrong picture came for ") + m_layout.name);
        }
        return secondsSince(start);
    }

private:
    SLayout m_layout;
    P<IPipeServer> m_server;
    P<nebo::bench::CProgramStarter> m_starter;
    P<IPipeClient> m_pipe;
    P<IVideoSource> m_source;
};

void report(const SLayout& layout, const std::vector<double>& bare, const std::vector<double>& slave)
{
    const double barePerSecond = picturesPerRound / median(bare);
    const double slavePerSecond = picturesPerRound / median(slave);
    std::printf("%dx%d %s (%lld bytes a picture), median of %d rounds of %d:\n", width, height, layout.name,
                static_cast<long long>(layout.bytes), rounds, picturesPerRound);
    std::printf("  bare socket pair    %8.1f pictures/s (%6.0f MB/s)\n", barePerSecond,
                barePerSecond * layout.bytes / 1e6);
    std::printf("  CSourceClient       %8.1f pictures/s (%6.0f MB/s)\n", slavePerSecond,
                slavePerSecond * layout.bytes / 1e6);
    std::printf("  ratio               %8.2f\n", slavePerSecond / barePerSecond);
}

int run(const std::string& folder, const std::string& work)
{
    CBareTransfer bare;

    const std::string errorFile = work + "/error.txt";
    std::ofstream(errorFile) << "";
    std::vector<std::unique_ptr<CSlaveSource>> slaves;
    for (const SLayout& layout : layouts)
        slaves.push_back(std::make_unique<CSlaveSource>(folder + "/nebo_slave", errorFile, layout));

    const size_t count = std::size(layouts);
    std::vector<std::vector<double>> bareTimes(count), slaveTimes(count);
    for (int round = -1; round < rounds; ++round) {
        for (size_t i = 0; i < count; ++i) {
            const double bareSeconds = bare.time(static_cast<uint8_t>(i), picturesPerRound);
            const double slaveSeconds = slaves[i]->time(picturesPerRound);
            // Round -1 warms up caches, page tables and the memory managers.
            if (round >= 0) {
                bareTimes[i].push_back(bareSeconds);
                slaveTimes[i].push_back(slaveSeconds);
            }
        }
    }
    for (size_t i = 0; i < count; ++i)
        report(layouts[i], bareTimes[i], slaveTimes[i]);
    return 0;
}

} // namespace

int main(int, char** argv)
{
    const std::string folder = std::filesystem::path(argv[0]).parent_path().string();
    return nebo::bench::runInWorkFolder([&](const std::string& work) { return run(folder, work); });
}
