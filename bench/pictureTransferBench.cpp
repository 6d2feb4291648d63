// Pictures per second that a master reads through a source client from
// nebo_demo in a real nebo_slave, once on the pipe alone
// (NEBO_SHARED_PICTURES=off) and once through shared picture buffers, next
// to the bare transfer of the same bytes per picture over a socket pair
// between two processes, which is what the pipe could do at best. Rounds of
// the three alternate, so that a busy machine slows them alike; the medians
// and their ratios to the bare transfer are printed, for 1920x1080 and
// 3840x2160 pictures in NV12 and RGB.

#include "bench/benchProcesses.h"
#include "bench/benchSupport.h"
#include "foundation/CURI.h"
#include "foundation/castObject.h"
#include "host/master/CNEBPluginClient.h"
#include "host/plugin/IVideoSource.h"
#include "media/INEBPicture.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "streams/CMemoryManager.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using nebo::bench::median;
using nebo::bench::secondsSince;

using namespace lumo;
using nebo::common::INEBPicture;
using nebo::common::IVideoSource;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 15;

struct SLayout {
    const char* name;
    int32_t type;
    int32_t width;
    int32_t height;
    int64_t bytes;
    // Fewer for larger pictures, so that every round takes about as long.
    int picturesPerRound;
};

const SLayout layouts[] = {
    {"nv12", 3, 1920, 1080, int64_t(1920) * 1080 * 3 / 2, 30},
    {"rgb", 1, 1920, 1080, int64_t(1920) * 1080 * 4, 30},
    {"nv12", 3, 3840, 2160, int64_t(3840) * 2160 * 3 / 2, 10},
    {"rgb", 1, 3840, 2160, int64_t(3840) * 2160 * 4, 10},
};

// A child process that answers a request byte, the index of a layout, with
// that layout's bytes from a buffer made once. Made before any thread
// starts, as it forks.
class CBareTransfer {
public:
    CBareTransfer()
        : m_buffer(static_cast<size_t>(largestPicture())),
          m_peer([this](nebo::bench::CPeerSocket& socket) { return serve(socket); })
    {
    }

    // Seconds for `count` pictures of `layout`.
    double time(uint8_t layout, int count)
    {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < count; ++i) {
            if (!m_peer.socket().send(&layout, 1))
                throw std::runtime_error("the bare transfer's child is gone");
            if (!m_peer.socket().receive(m_buffer.data(), pictureBytes(layout)))
                throw std::runtime_error("the bare transfer broke off");
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

    // Until the parent goes away, mid-picture or between them: nobody is
    // left to tell either way.
    int serve(nebo::bench::CPeerSocket& socket)
    {
        std::fill(m_buffer.begin(), m_buffer.end(), uint8_t(0x5a));
        uint8_t layout;
        while (socket.receive(&layout, 1) && layout < std::size(layouts) &&
               socket.send(m_buffer.data(), pictureBytes(layout))) {
        }
        return 0;
    }

    std::vector<uint8_t> m_buffer;
    nebo::bench::CForkedPeer m_peer;
};

// A slave serving a demo clip in one layout and size, opened; its pictures
// come through shared buffers or on the pipe alone.
class CSlaveSource {
public:
    CSlaveSource(const std::string& program, const std::string& errorFile, const SLayout& layout, bool bShared)
        : m_layout(layout)
    {
        static int slaveCount = 0;
        const std::string master = std::to_string(nebo::bench::getCurrentProcessID());
        const std::string pipeName = "nebo_slave-" + master + "-" + std::to_string(++slaveCount);
        const std::string arguments = " " + master + " " + pipeName + " nebo_demo file://" + errorFile + " 2";
        m_server = getPipeManager()->createServer(String::fromUTF8(pipeName));
        m_starter = make<nebo::bench::CProgramStarter>(program, arguments);
        m_pipe = m_server->acceptClient(m_starter.get());
        if (!m_pipe)
            throw std::runtime_error("the slave did not connect: " + program);
        P<nebo::common::CNEBPluginClient> plugin = make<nebo::common::CNEBPluginClient>(
            m_pipe->getInStream(), m_pipe->getOutStream(), make<CMemoryManager>(30));
        const std::string uri = "file:///bench.demo?w=" + std::to_string(layout.width) +
                                "&h=" + std::to_string(layout.height) + "&fmt=" + layout.name + "&frames=100000";
        // The source client reads the switch as it is made.
        nebo::bench::setEnvironment("NEBO_SHARED_PICTURES", bShared ? "on" : "off");
        m_source = castObject<IVideoSource>(
            plugin->tryCreateSource(*make<CURI>(String::fromUTF8(uri)), 1, true, nullptr), false);
        nebo::bench::setEnvironment("NEBO_SHARED_PICTURES", nullptr);
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
            if (!picture || picture->getType() != m_layout.type || picture->getWidth() != m_layout.width ||
                picture->getHeight() != m_layout.height)
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

double perSecond(const SLayout& layout, const std::vector<double>& times)
{
    return layout.picturesPerRound / median(times);
}

void report(const SLayout& layout, const std::vector<double>& bare, const std::vector<double>& pipe,
            const std::vector<double>& shared)
{
    const double barePerSecond = perSecond(layout, bare);
    std::printf("%dx%d %s (%lld bytes a picture), median of %d rounds of %d:\n", layout.width, layout.height,
                layout.name, static_cast<long long>(layout.bytes), rounds, layout.picturesPerRound);
    const struct {
        const char* name;
        double perSecond;
    } lines[] = {{"bare socket pair", barePerSecond},
                 {"CSourceClient, pipe", perSecond(layout, pipe)},
                 {"CSourceClient, shared", perSecond(layout, shared)}};
    for (const auto& line : lines)
        std::printf("  %-22s %8.1f pictures/s (%6.0f MB/s)  ratio %5.2f\n", line.name, line.perSecond,
                    line.perSecond * layout.bytes / 1e6, line.perSecond / barePerSecond);
}

int run(const std::string& folder, const std::string& work)
{
    CBareTransfer bare;

    const std::string errorFile = work + "/error.txt";
    std::ofstream(errorFile) << "";
    const size_t count = std::size(layouts);
    std::vector<std::unique_ptr<CSlaveSource>> pipeSlaves, sharedSlaves;
    for (const SLayout& layout : layouts) {
        pipeSlaves.push_back(std::make_unique<CSlaveSource>(folder + "/nebo_slave", errorFile, layout, false));
        sharedSlaves.push_back(std::make_unique<CSlaveSource>(folder + "/nebo_slave", errorFile, layout, true));
    }

    std::vector<std::vector<double>> bareTimes(count), pipeTimes(count), sharedTimes(count);
    for (int round = -1; round < rounds; ++round) {
        for (size_t i = 0; i < count; ++i) {
            const int pictures = layouts[i].picturesPerRound;
            const double bareSeconds = bare.time(static_cast<uint8_t>(i), pictures);
            const double pipeSeconds = pipeSlaves[i]->time(pictures);
            const double sharedSeconds = sharedSlaves[i]->time(pictures);
            // Round -1 warms up caches, page tables and the memory managers.
            if (round >= 0) {
                bareTimes[i].push_back(bareSeconds);
                pipeTimes[i].push_back(pipeSeconds);
                sharedTimes[i].push_back(sharedSeconds);
            }
        }
    }
    for (size_t i = 0; i < count; ++i)
        report(layouts[i], bareTimes[i], pipeTimes[i], sharedTimes[i]);
    return 0;
}

} // namespace

int main(int, char** argv)
{
    const std::string folder = std::filesystem::path(argv[0]).parent_path().string();
    return nebo::bench::runInWorkFolder([&](const std::string& work) { return run(folder, work); });
}
