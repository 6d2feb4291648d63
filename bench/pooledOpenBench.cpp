// Time to the first picture of a medium, from asking the plugin handler for
// a source to holding its first picture: with the plugin loaded in this
// process (the baseline), boxed with a slave taken from a pool where it was
// started ahead, and boxed with a slave started on opening, as without a
// pool, all in the same run. Once with a 1920x1080 NV12 demo clip, once with
// a 1920x1080 H.264 clip (written by the benchmark, in a child process of
// its own) through nebo_avlib. The handlers are made, and their plugins
// named, before the clock runs; the pool is full at the start of each round.

#include "bench/benchSupport.h"
#include "host/CPluginHandler.h"
#include "host/CSimpleNEBContext.h"
#include "host/CSlavePool.h"
#include "host/IVideoSource.h"
#include "support/writeTestClip.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using nebo::bench::median;
using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 15;
constexpr int32_t poolReadyWaitMs = 20000;

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

void measure(const char* title, const char* plugin, const P<lumo::CURI>& uri)
{
    const P<CPluginHandler> inProcess = make<CPluginHandler>(makeContext(plugin), false);
    const P<CSimpleNEBContext> pooledContext = makeContext(plugin);
    const P<CSlavePool> pool = make<CSlavePool>(pooledContext, 1);
    pooledContext->setSlavePool(pool);
    const P<CPluginHandler> pooled = make<CPluginHandler>(pooledContext, true);
    const P<CPluginHandler> unpooled = make<CPluginHandler>(makeContext(plugin), true);
    pool->prepare(String(plugin));

    std::vector<double> inProcessMs, pooledMs, unpooledMs;
    for (int i = 0; i < rounds; ++i) {
        // The pool is full when each way begins, but taking a slave starts its
        // replacement at once, as in use: the pooled way's first picture
        // shares the machine with that start.
        if (!pool->waitUntilReady(String(plugin), poolReadyWaitMs))
            throw std::runtime_error(std::string("the pool's slave for ") + plugin + " did not start");
        inProcessMs.push_back(timeFirstPicture(*inProcess, *uri));
        pooledMs.push_back(timeFirstPicture(*pooled, *uri));
        if (!pool->waitUntilReady(String(plugin), poolReadyWaitMs))
            throw std::runtime_error(std::string("the pool's slave for ") + plugin + " did not start");
        unpooledMs.push_back(timeFirstPicture(*unpooled, *uri));
    }
    pool->close();
    const double baseline = median(inProcessMs);
    std::printf("%s, milliseconds to the first picture, median of %d rounds:\n", title, rounds);
    std::printf("  in process                  %8.2f\n", baseline);
    std::printf("  boxed, slave from the pool  %8.2f   ratio %6.2f\n", median(pooledMs), median(pooledMs) / baseline);
    std::printf("  boxed, slave started        %8.2f   ratio %6.2f\n", median(unpooledMs),
                median(unpooledMs) / baseline);
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

int main()
{
    return nebo::bench::runInWorkFolder(run);
}
