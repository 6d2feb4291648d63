// Media per second taking the facts and the first picture of 1,000 small demo
// clips: with `nebo_probe -j 2 --json --frames 1` (a process for the probe,
// slaves for every medium), beside the same clips read in this process
// with the demo plugin loaded here, two threads, the baseline, in the same
// run. The probe is timed three times: with the one plugin the clips need,
// first without slaves started ahead (--pool 0), then with its default pool;
// and as people call it, with every plugin beside it.

#include "bench/probeRuns.h"
#include "foundation/castObject.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IVideoSource.h"
#include "media/CRGBPicture.h"

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

constexpr int rounds = 9;
constexpr int clipCount = 1000;
constexpr int threadCount = 2;
const std::string probeArguments = "-j " + std::to_string(threadCount) + " --json --frames 1";

std::vector<std::string> clipURIs()
{
    std::vector<std::string> uris;
    for (int i = 0; i < clipCount; ++i)
        uris.push_back("file:///bench/clip" + std::to_string(i) + ".demo?w=64&h=48&frames=10");
    return uris;
}

// What the probe learns of a medium with --frames 1: the facts, and the
// first picture as a viewer shows it.
void readFactsAndFirstPicture(CPluginHandler& handler, const std::string& uri)
{
    const P<ISource> source = handler.tryCreateSource(*make<lumo::CURI>(String::fromUTF8(uri)), 0, 0, 0, true);
    if (!source)
        throw std::runtime_error("no plugin opened " + uri);
    const P<IVideoSource> video = lumo::castObject<IVideoSource>(source);
    const P<IAudioSource> audio = lumo::castObject<IAudioSource>(source);
    source->getDuration();
    video->getWidth();
    video->getHeight();
    video->getFrameRateNum();
    video->getFrameRateDen();
    audio->getSampleRate();
    audio->getChannelCount();
    audio->getBytesPerSample();
    audio->getAudioStreamInfos();
    const P<INEBPicture> picture = video->getNextPicture();
    if (!picture)
        throw std::runtime_error("no picture in " + uri);
    picture->getRGBPicture();
    source->close();
}

int run(const std::string&)
{
    const std::vector<std::string> uris = clipURIs();
    std::vector<double> inProcess, probeUnpooled, probeOne, probeAll;
    for (int i = 0; i < rounds; ++i) {
        inProcess.push_back(nebo::bench::timeInProcess("nebo_demo", threadCount, uris, readFactsAndFirstPicture));
        probeUnpooled.push_back(nebo::bench::timeProbe(probeArguments + " --plugin nebo_demo --pool 0", uris));
        probeOne.push_back(nebo::bench::timeProbe(probeArguments + " --plugin nebo_demo", uris));
        probeAll.push_back(nebo::bench::timeProbe(probeArguments, uris));
    }
    const double baseline = median(inProcess);
    std::printf("64x48 demo clips, facts and first picture, %d threads, media per second, median of %d rounds of "
                "%d:\n",
                threadCount, rounds, clipCount);
    std::printf("  in process (nebo_demo)                 %8.1f\n", baseline);
    std::printf("  nebo_probe --plugin nebo_demo --pool 0 %8.1f   ratio %6.3f\n", median(probeUnpooled),
                median(probeUnpooled) / baseline);
    std::printf("  nebo_probe --plugin nebo_demo          %8.1f   ratio %6.3f\n", median(probeOne),
                median(probeOne) / baseline);
    std::printf("  nebo_probe, every plugin               %8.1f   ratio %6.3f\n", median(probeAll),
                median(probeAll) / baseline);
    return 0;
}

} // namespace

int main() { return nebo::bench::runInWorkFolder(run); }
