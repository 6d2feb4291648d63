// Time to the first picture of a medium, from asking the plugin handler for
// a source to holding its first picture: with the plugin loaded in this
// process (the baseline), boxed with a slave taken from a pool where it was
// started ahead, the same with the pool's slaves readying their heap while
// they wait and their replacements put off until after the opening, and
// boxed with a slave started on opening, as without a pool, all in the
// same run. Once with a 1920x1080 NV12 demo clip, once with a 1920x1080
// H.264 clip (written by the benchmark, in a child process of its own)
// through nebo_avlib. The handlers are made, and their plugins named,
// before the clock runs; the pools are full at the start of each round.
// Each ratio is the median of the rounds' own ratios to the baseline.

#include "bench/benchSupport.h"
#include "host/CPluginHandler.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CSlavePool.h"
#include "host/plugin/IVideoSource.h"
#include "support/writeTestClip.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using nebo::bench::median;
using nebo::bench::medianRatio;
using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 15;
constexpr int32_t poolReadyWaitMs = 20000;
// Enough for the decoder's frames of a 1080p H.264 clip.
constexpr int32_t memoryAheadMegabytes = 128;
// Longer than the opening of either clip takes.
constexpr int32_t refillDelayMs = 500;

P<CSimpleNEBContext> makeContext(const char* plugin)
{
    const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
    // As nebo_probe reads: the first picture is the one asked for.
    context->setPrefetch(false);
    context->addPluginLibrary(String(plugin));
    return context;
}

// Milliseconds from asking for the source to holding its first picture;
// closing it is not counted.
double timeFirstPicture(CPluginHandler& handler, const lumo::IURI& uri)
{
    const Clock::time_point start = Clock::now();
    const P<IVideoSource> source = handler.tryCreateVideoSource(uri, true);
    if (!source || !source->getNextPicture())
        throw std::runtime_error("no first picture from " + uri.getText().toUTF8());
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    source->close();
    return ms;
}

// A handler whose boxed sources take their slaves from a pool of one slave
// per plugin; `bTuned`: its slave readies its heap while it waits, and its
// replacement starts after the opening.
struct SPooledWay {
    SPooledWay(const char* plugin, bool bTuned)
        : context(makeContext(plugin)), pool(make<CSlavePool>(context, 1)), plugin(plugin)
    {
        if (bTuned) {
            pool->setMemoryAhead(memoryAheadMegabytes);
            pool->setRefillDelay(refillDelayMs);
        }
        handler = make<CPluginHandler>(context, true, pool);
        pool->prepare(this->plugin);
    }

    // Taking a slave starts its replacement, at once or after the refill
    // delay, as in use: a pooled way's first picture may share the machine
    // with that start, but every way begins with its pool full.
    void waitUntilReady() const
    {
        if (!pool->waitUntilReady(plugin, poolReadyWaitMs))
            throw std::runtime_error("the pool's slave for " + plugin.toUTF8() + " did not start");
    }

    const P<CSimpleNEBContext> context;
    const P<CSlavePool> pool;
    const String plugin;
    P<CPluginHandler> handler;
};

void printWay(const char* name, const std::vector<double>& ms, const std::vector<double>& baselineMs)
{
    std::printf("  %-34s %8.2f   ratio %6.2f\n", name, median(ms), medianRatio(ms, baselineMs));
}

void measure(const char* title, const char* plugin, const P<lumo::CURI>& uri)
{
    const P<CPluginHandler> inProcess = make<CPluginHandler>(makeContext(plugin), false);
    const P<CPluginHandler> unpooled = make<CPluginHandler>(makeContext(plugin), true);
    const SPooledWay pooled(plugin, false);
    const SPooledWay pooledAhead(plugin, true);

    std::vector<double> inProcessMs, pooledMs, pooledAheadMs, unpooledMs;
    for (int i = 0; i < rounds; ++i) {
        pooled.waitUntilReady();
        pooledAhead.waitUntilReady();
        inProcessMs.push_back(timeFirstPicture(*inProcess, *uri));
        pooledMs.push_back(timeFirstPicture(*pooled.handler, *uri));
        pooled.waitUntilReady();
        pooledAheadMs.push_back(timeFirstPicture(*pooledAhead.handler, *uri));
        pooledAhead.waitUntilReady();
        unpooledMs.push_back(timeFirstPicture(*unpooled, *uri));
    }
    pooled.pool->close();
    pooledAhead.pool->close();
    std::printf("%s, milliseconds to the first picture, median of %d rounds:\n", title, rounds);
    std::printf("  %-34s %8.2f\n", "in process", median(inProcessMs));
    printWay("boxed, slave from the pool", pooledMs, inProcessMs);
    const std::string aheadName =
        "same, " + std::to_string(memoryAheadMegabytes) + " MB ahead, refill " + std::to_string(refillDelayMs) + " ms";
    printWay(aheadName.c_str(), pooledAheadMs, inProcessMs);
    printWay("boxed, slave started", unpooledMs, inProcessMs);
}

int run(const std::string& work)
{
    const std::string path = work + "/h264.mkv";
    nebo::bench::makeInputApart([&] {
        nebo::testing::SVideoSettings video;
        video.encoder = "libx264";
        video.width = 1920;
        video.height = 1080;
        video.frames = 25;
        video.keyFrameInterval = 12;
        nebo::testing::writeTestClip(path, {video, {}});
    });
    measure("1920x1080 NV12 demo clip (nebo_demo)", "nebo_demo",
            make<lumo::CURI>(String("file:///bench/clip.demo?w=1920&h=1080&fmt=nv12&frames=10")));
    measure("1920x1080 H.264 clip (nebo_avlib)", "nebo_avlib", lumo::CURI::fromNativePath(String::fromUTF8(path)));
    return 0;
}

} // namespace

int main() { return nebo::bench::runInWorkFolder(run); }
