// Media per second probing a folder of 100 small real media of mixed codecs
// and containers, made here with FFmpeg's libraries: `nebo_probe -j 2
// --json --plugin nebo_avlib`, every medium in a fresh confined slave
// (a launcher's child where the platform has launchers), beside the same
// probing done in this process with nebo_avlib loaded here, two threads,
// the baseline, in alternating rounds of the same run. Both take what the
// probe takes by default: the facts, then every picture converted to RGB,
// or every sound chunk of a medium without pictures.

#include "bench/probeRuns.h"
#include "foundation/castObject.h"
#include "host/CPluginHandler.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IVideoSource.h"
#include "media/CRGBPicture.h"
#include "support/writeTestClip.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using nebo::bench::median;
using nebo::bench::medianRatio;
using namespace nebo::common;
using namespace nebo::testing;
using lumo::P;
using lumo::String;

constexpr int rounds = 9;
constexpr int mediaCount = 100;
constexpr int threadCount = 2;

struct SKind {
    const char* extension;
    STestClip clip;
};

SVideoSettings picturesOf(const char* encoder, const char* pixelFormat)
{
    SVideoSettings video;
    video.encoder = encoder;
    video.pixelFormat = pixelFormat;
    video.width = 160;
    video.height = 120;
    video.frames = 25;
    return video;
}

SAudioSettings soundOf(const char* encoder)
{
    SAudioSettings audio;
    audio.encoder = encoder;
    audio.seconds = 1.0;
    return audio;
}

// The kinds the folder cycles through: common codecs in their usual
// containers, with and without sound, and sound alone.
std::vector<SKind> mediaKinds()
{
    return {
        {"mp4", {picturesOf("libx264", "yuv420p"), {soundOf("aac")}}},
        {"mkv", {picturesOf("ffv1", "yuv420p"), {soundOf("flac")}}},
        {"avi", {picturesOf("mpeg4", "yuv420p"), {soundOf("pcm_s16le")}}},
        {"mov", {picturesOf("mjpeg", "yuvj420p"), {soundOf("pcm_s16le")}}},
        {"nut", {picturesOf("mpeg4", "yuv420p"), {soundOf("flac")}}},
        {"mkv", {picturesOf("libx264", "yuv420p"), {}}},
        {"mp4", {picturesOf("mpeg4", "yuv420p"), {soundOf("aac")}}},
        {"wav", {std::nullopt, {soundOf("pcm_s16le")}}},
        {"flac", {std::nullopt, {soundOf("flac")}}},
    };
}

std::vector<std::string> makeMedia(const std::string& work)
{
    const std::vector<SKind> kinds = mediaKinds();
    std::vector<std::string> paths;
    for (int i = 0; i < mediaCount; ++i)
        paths.push_back(work + "/medium" + std::to_string(i) + "." + kinds[i % kinds.size()].extension);
    nebo::bench::makeInputApart([&] {
        for (size_t i = 0; i < paths.size(); ++i)
            writeTestClip(paths[i], kinds[i % kinds.size()].clip);
    });
    return paths;
}

// What the probe does with a medium by default.
void probeInProcess(CPluginHandler& handler, const std::string& path)
{
    const P<ISource> source =
        handler.tryCreateSource(*lumo::CURI::fromNativePath(String::fromUTF8(path)), 0, 0, 0, true);
    if (!source)
        throw std::runtime_error("no plugin opened " + path);
    source->getDuration();
    const P<IVideoSource> video = lumo::castObject<IVideoSource>(source, false);
    const P<IAudioSource> audio = lumo::castObject<IAudioSource>(source, false);
    if (audio) {
        audio->getSampleRate();
        audio->getChannelCount();
        audio->getBytesPerSample();
        audio->getAudioStreamInfos();
    }
    if (video && video->getWidth() > 0) {
        video->getHeight();
        video->getFrameRateNum();
        video->getFrameRateDen();
        while (const P<INEBPicture> picture = video->getNextPicture())
            picture->getRGBPicture();
    } else if (audio) {
        while (audio->getNextAudioChunk()) {
        }
    }
    source->close();
}

int run(const std::string& work)
{
    const std::vector<std::string> paths = makeMedia(work);
    std::vector<double> inProcess, probed;
    for (int i = 0; i < rounds; ++i) {
        inProcess.push_back(nebo::bench::timeInProcess("nebo_avlib", threadCount, paths, probeInProcess));
        probed.push_back(
            nebo::bench::timeProbe("-j " + std::to_string(threadCount) + " --json --plugin nebo_avlib", paths));
    }
    std::printf("%d small media of %zu kinds, facts and every picture (or sound chunk), %d threads, media per "
                "second, median of %d alternating rounds:\n",
                mediaCount, mediaKinds().size(), threadCount, rounds);
    std::printf("  in process (nebo_avlib)      %8.1f\n", median(inProcess));
    std::printf("  nebo_probe, boxed            %8.1f   ratio %6.3f\n", median(probed), medianRatio(probed, inProcess));
    return 0;
}

} // namespace

int main() { return nebo::bench::runInWorkFolder(run); }
