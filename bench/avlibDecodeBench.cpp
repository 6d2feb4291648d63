// Pictures per second decoding 1920x1080 and 3840x2160 clips: through a
// boxed nebo_avlib source as a master reads it (a slave starts, loads the
// libraries, opens the file, decodes, and the pictures cross the pipe),
// beside the same clip decoded with the libraries in this process, the
// baseline, in the same run; both from opening the file to its last picture.
// Also through nebo_avlib loaded in this process, which shows what the
// plugin's pictures cost apart from what the box costs.
// Then boxed once more with a slave taken from a pool, where it was started
// and readied its heap before the clock runs; taking it starts its
// replacement once the refill delay has passed, which shares the machine
// with the rest of the timed round, as in use. Each round is also
// split at its first picture, so that what a slave costs once (start,
// opening, first touches) shows apart from what it costs for every picture.
// The rates are medians of the rounds; each ratio is the median of the
// rounds' own ratios to the baseline.

#include "bench/benchSupport.h"
#include "host/CPluginHandler.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CEncapsulatedSource.h"
#include "host/master/CSlavePool.h"
#include "support/avlibHandles.h"
#include "support/writeTestClip.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using nebo::bench::median;
using nebo::bench::medianRatio;
using nebo::bench::secondsSince;
using namespace nebo::common;
using namespace nebo::testing;
using lumo::make;
using lumo::P;
using lumo::String;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 5;
constexpr int32_t poolReadyWaitMs = 20000;
// More than the decoder's own heap for a 3840x2160 H.264 clip, about 80 MB
// at its peak; the pictures lie in the shared buffers.
constexpr int32_t memoryAheadMegabytes = 128;
constexpr int32_t refillDelayMs = 500;
const char* const plugin = "nebo_avlib";

struct SClip {
    const char* encoder;
    int width, height, pictures;
};

// One round: seconds to the first picture and to the last.
struct SRound {
    double first, last;
};

// Takes every picture the decoder has ready; returns how many.
int drainPictures(AVCodecContext& codec, AVFrame& frame)
{
    int count = 0;
    while (avcodec_receive_frame(&codec, &frame) == 0) {
        av_frame_unref(&frame);
        ++count;
    }
    return count;
}

// The baseline: demux and decode the clip's video in this process.
SRound decodeInProcess(const std::string& path, int expected)
{
    const Clock::time_point start = Clock::now();
    AVFormatContext* opened = nullptr;
    checkAv(avformat_open_input(&opened, path.c_str(), nullptr, nullptr), "avformat_open_input");
    const InputPtr format(opened);
    checkAv(avformat_find_stream_info(format.get(), nullptr), "avformat_find_stream_info");
    const AVCodec* decoder = nullptr;
    const int stream =
        checkAv(av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0), "av_find_best_stream");
    const CodecContextPtr codec(checkAlloc(avcodec_alloc_context3(decoder), "avcodec_alloc_context3"));
    checkAv(avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar),
            "avcodec_parameters_to_context");
    checkAv(avcodec_open2(codec.get(), decoder, nullptr), "avcodec_open2");

    const PacketPtr packet = allocPacket();
    const FramePtr frame = allocFrame();
    int pictures = 0;
    double first = 0.0;
    const auto drain = [&] {
        const int before = pictures;
        pictures += drainPictures(*codec, *frame);
        if (before == 0 && pictures > 0)
            first = secondsSince(start);
    };
    while (av_read_frame(format.get(), packet.get()) == 0) {
        if (packet->stream_index == stream) {
            checkAv(avcodec_send_packet(codec.get(), packet.get()), "avcodec_send_packet");
            drain();
        }
        av_packet_unref(packet.get());
    }
    checkAv(avcodec_send_packet(codec.get(), nullptr), "avcodec_send_packet");
    drain();
    if (pictures != expected)
        throw std::runtime_error("the decoder gave " + std::to_string(pictures) + " pictures");
    return {first, secondsSince(start)};
}

// A source that `openSource` makes and opens, read to its end, closed.
template <class OpenSource> SRound readToEnd(OpenSource openSource, int expected)
{
    const Clock::time_point start = Clock::now();
    const P<IVideoSource> source = openSource();
    int pictures = 0;
    double first = 0.0;
    while (source->getNextPicture())
        if (++pictures == 1)
            first = secondsSince(start);
    source->close();
    if (pictures != expected)
        throw std::runtime_error("the source gave " + std::to_string(pictures) + " pictures");
    return {first, secondsSince(start)};
}

// A master's way: a boxed source.
SRound decodeBoxed(const P<INEBContext>& context, const std::string& path, int expected,
                   const P<CSlavePool>& pool = nullptr)
{
    const auto openBoxed = [&] {
        const P<CEncapsulatedSource> source = make<CEncapsulatedSource>(
            context, String(plugin), *lumo::CURI::fromNativePath(String::fromUTF8(path)), 1, nullptr, pool);
        source->open();
        return P<IVideoSource>(source);
    };
    return readToEnd(openBoxed, expected);
}

// The plugin loaded in this process, through a handler that boxes nothing.
SRound decodeInPlugin(CPluginHandler& handler, const std::string& path, int expected)
{
    const auto openHere = [&] {
        return handler.tryCreateVideoSource(*lumo::CURI::fromNativePath(String::fromUTF8(path)), true);
    };
    return readToEnd(openHere, expected);
}

// As decodeBoxed, once the pool's slave has started.
SRound decodePooled(const P<INEBContext>& context, const P<CSlavePool>& pool, const std::string& path, int expected)
{
    if (!pool->waitUntilReady(String(plugin), poolReadyWaitMs))
        throw std::runtime_error("the pool's slave did not start");
    return decodeBoxed(context, path, expected, pool);
}

std::string pathOf(const std::string& work, const SClip& clip)
{
    return work + "/" + clip.encoder + std::to_string(clip.width) + "x" + std::to_string(clip.height) + ".mkv";
}

void writeClip(const std::string& work, const SClip& clip)
{
    nebo::testing::SVideoSettings video;
    video.encoder = clip.encoder;
    video.width = clip.width;
    video.height = clip.height;
    video.frames = clip.pictures;
    video.keyFrameInterval = 12;
    nebo::testing::writeTestClip(pathOf(work, clip), {video, {}});
}

// A way's rounds, each as pictures per second in all, milliseconds to the
// first picture and pictures per second after it.
struct SRates {
    std::vector<double> overall, firstMs, after;
};

SRates ratesOf(const std::vector<SRound>& rounds, int pictures)
{
    SRates rates;
    for (const SRound& round : rounds) {
        rates.overall.push_back(pictures / round.last);
        rates.firstMs.push_back(round.first * 1000.0);
        rates.after.push_back((pictures - 1) / (round.last - round.first));
    }
    return rates;
}

void printWay(const char* name, const SRates& way, const SRates& baseline)
{
    std::printf("  %-18s %8.1f   ratio %5.2f %10.1f %10.1f   ratio %5.2f\n", name, median(way.overall),
                medianRatio(way.overall, baseline.overall), median(way.firstMs), median(way.after),
                medianRatio(way.after, baseline.after));
}

// Prints the rates and their ratios for a clip written before.
void measure(CPluginHandler& inPlugin, const P<INEBContext>& context, const P<INEBContext>& pooledContext,
             const P<CSlavePool>& pool, const std::string& work, const SClip& clip)
{
    const std::string path = pathOf(work, clip);
    std::vector<SRound> inProcess, loaded, boxed, pooled;
    for (int i = 0; i < rounds; ++i) {
        inProcess.push_back(decodeInProcess(path, clip.pictures));
        loaded.push_back(decodeInPlugin(inPlugin, path, clip.pictures));
        boxed.push_back(decodeBoxed(context, path, clip.pictures));
        pooled.push_back(decodePooled(pooledContext, pool, path, clip.pictures));
    }
    std::filesystem::remove(path);
    const SRates baseline = ratesOf(inProcess, clip.pictures);
    std::printf("%s, %dx%d, median of %d rounds of %d pictures:\n", clip.encoder, clip.width, clip.height, rounds,
                clip.pictures);
    std::printf("  %-18s %8s   %11s %10s %10s\n", "", "per s", "", "first ms", "after, /s");
    std::printf("  %-18s %8.1f   %11s %10.1f %10.1f\n", "in process", median(baseline.overall), "",
                median(baseline.firstMs), median(baseline.after));
    printWay("nebo_avlib here", ratesOf(loaded, clip.pictures), baseline);
    printWay("boxed nebo_avlib", ratesOf(boxed, clip.pictures), baseline);
    printWay("same, pooled slave", ratesOf(pooled, clip.pictures), baseline);
}

int run(const std::string& work)
{
    // The usual codec of such clips, and one that decodes several times
    // faster, where the transfer weighs more. 1088 rows: a height whose
    // MPEG-4 frames fit the pictures' planes without spacing them for the
    // decoder's rows, as 1080 and 2160 rows need.
    const SClip clips[] = {
        {"libx264", 1920, 1080, 240}, {"mpeg4", 1920, 1080, 240}, {"mpeg4", 1920, 1088, 240},
        {"libx264", 3840, 2160, 48},  {"mpeg4", 3840, 2160, 48},
    };
    nebo::bench::makeInputApart([&] {
        for (const SClip& clip : clips)
            writeClip(work, clip);
    });
    const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
    context->setPrefetch(true);
    const P<CSimpleNEBContext> pooledContext = make<CSimpleNEBContext>();
    pooledContext->setPrefetch(true);
    const P<CSlavePool> pool = make<CSlavePool>(pooledContext, 1);
    pool->setMemoryAhead(memoryAheadMegabytes);
    pool->setRefillDelay(refillDelayMs);
    pool->prepare(String(plugin));
    const P<CSimpleNEBContext> inPluginContext = make<CSimpleNEBContext>();
    inPluginContext->setPrefetch(true);
    inPluginContext->addPluginLibrary(String(plugin));
    const P<CPluginHandler> inPlugin = make<CPluginHandler>(inPluginContext, false);
    for (const SClip& clip : clips)
        measure(*inPlugin, context, pooledContext, pool, work, clip);
    pool->close();
    return 0;
}

} // namespace

int main() { return nebo::bench::runInWorkFolder(run); }
