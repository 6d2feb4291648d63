// Pictures per second decoding 1920x1080 clips: through a boxed nebo_avlib
// source as a master reads it (a slave loads the libraries, opens the file,
// decodes, and the pictures cross the pipe), beside the same clip decoded
// with the libraries in this process, the baseline, in the same run.

#include "bench/benchSupport.h"
#include "host/CEncapsulatedSource.h"
#include "host/CSimpleNEBContext.h"
#include "support/avlibHandles.h"
#include "support/writeTestClip.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using nebo::bench::median;
using namespace nebo::common;
using namespace nebo::testing;
using lumo::make;
using lumo::P;
using lumo::String;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 5;
constexpr int picturesPerClip = 240;

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
double decodeInProcess(const std::string& path)
{
    const Clock::time_point start = Clock::now();
    AVFormatContext* opened = nullptr;
    checkAv(avformat_open_input(&opened, path.c_str(), nullptr, nullptr), "avformat_open_input");
    const InputPtr format(opened);
    checkAv(avformat_find_stream_info(format.get(), nullptr), "avformat_find_stream_info");
    const AVCodec* decoder = nullptr;
    const int stream = checkAv(av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0),
                               "av_find_best_stream");
    const CodecContextPtr codec(checkAlloc(avcodec_alloc_context3(decoder), "avcodec_alloc_context3"));
    checkAv(avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar),
            "avcodec_parameters_to_context");
    checkAv(avcodec_open2(codec.get(), decoder, nullptr), "avcodec_open2");

    const PacketPtr packet = allocPacket();
    const FramePtr frame = allocFrame();
    int pictures = 0;
    while (av_read_frame(format.get(), packet.get()) == 0) {
        if (packet->stream_index == stream) {
            checkAv(avcodec_send_packet(codec.get(), packet.get()), "avcodec_send_packet");
            pictures += drainPictures(*codec, *frame);
        }
        av_packet_unref(packet.get());
    }
    checkAv(avcodec_send_packet(codec.get(), nullptr), "avcodec_send_packet");
    pictures += drainPictures(*codec, *frame);
    if (pictures != picturesPerClip)
        throw std::runtime_error("the decoder gave " + std::to_string(pictures) + " pictures");
    return pictures / std::chrono::duration<double>(Clock::now() - start).count();
}

// A master's way: a boxed source, opened, read to its end, closed.
double decodeBoxed(const P<INEBContext>& context, const std::string& path)
{
    const Clock::time_point start = Clock::now();
    const P<CEncapsulatedSource> source = make<CEncapsulatedSource>(
        context, String("nebo_avlib"), *lumo::CURI::fromNativePath(String::fromUTF8(path)), 1, nullptr);
    source->open();
    int pictures = 0;
    while (source->getNextPicture())
        ++pictures;
    source->close();
    if (pictures != picturesPerClip)
        throw std::runtime_error("the boxed source gave " + std::to_string(pictures) + " pictures");
    return pictures / std::chrono::duration<double>(Clock::now() - start).count();
}

// Prints both rates and their ratio for a clip of `encoder`'s making.
void measure(const P<INEBContext>& context, const std::string& path, const char* encoder)
{
    nebo::testing::SVideoSettings video;
    video.encoder = encoder;
    video.width = 1920;
    video.height = 1080;
    video.frames = picturesPerClip;
    video.keyFrameInterval = 12;
    nebo::testing::writeTestClip(path, {video, {}});

    std::vector<double> inProcess, boxed;
    for (int i = 0; i < rounds; ++i) {
        inProcess.push_back(decodeInProcess(path));
        boxed.push_back(decodeBoxed(context, path));
    }
    const double inProcessRate = median(inProcess);
    const double boxedRate = median(boxed);
    std::printf("%s, 1920x1080, pictures per second, median of %d rounds of %d:\n", encoder, rounds, picturesPerClip);
    std::printf("  in process          %8.1f\n", inProcessRate);
    std::printf("  boxed nebo_avlib    %8.1f\n", boxedRate);
    std::printf("  ratio               %8.2f\n", boxedRate / inProcessRate);
}

int run(const std::string& work)
{
    const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
    context->setPrefetch(true);
    // The usual codec of such clips, and one that decodes about three times
    // faster, where the transfer weighs more.
    measure(context, work + "/h264.mkv", "libx264");
    measure(context, work + "/mpeg4.mkv", "mpeg4");
    return 0;
}

} // namespace

int main()
{
    return nebo::bench::runInWorkFolder(run);
}
