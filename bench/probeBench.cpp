// Media per second taking the facts and the first picture of 1,000 small demo
// clips: with `nebo_probe -j 2 --json --frames 1` (a process for the probe,
// slaves for every medium), beside the same clips read in this process
// with the demo plugin loaded here, two threads, the baseline, in the same
// run. The probe is timed three times: with the one plugin the clips need,
// first without slaves started ahead (--pool 0), then with its default pool;
// and as people call it, with every plugin beside it.

#include "bench/benchSupport.h"
#include "foundation/castObject.h"
#include "host/CPluginHandler.h"
#include "host/CSimpleNEBContext.h"
#include "host/IAudioSource.h"
#include "host/IVideoSource.h"
#include "media/CRGBPicture.h"
#include "platform/ISystem.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using nebo::bench::median;
using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 9;
constexpr int clipCount = 1000;
constexpr int threadCount = 2;

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

// The baseline: each thread a context and handler of its own, the plugin
// loaded into this process.
double readInProcess(const std::vector<std::string>& uris)
{
    const Clock::time_point start = Clock::now();
    std::atomic<size_t> next{0};
    std::atomic<bool> bFailed{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&] {
            try {
                const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
                context->addPluginLibrary(String("nebo_demo"));
                const P<CPluginHandler> handler = make<CPluginHandler>(context, false);
                for (size_t i = next++; i < uris.size(); i = next++)
                    readFactsAndFirstPicture(*handler, uris[i]);
            } catch (...) {
                bFailed = true;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    if (bFailed)
        throw std::runtime_error("reading in process failed");
    return uris.size() / std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the probe over every clip; each must come back read.
double runProbe(const std::string& options, const std::vector<std::string>& uris)
{
    const std::string program =
        lumo::getSystem()->getExecutableDirectory()->getNativePath().toUTF8() + "/nebo_probe";
    std::string command = "'" + program + "' -j " + std::to_string(threadCount) + " --json --frames 1 " + options;
    for (const std::string& uri : uris)
        command += " '" + uri + "'";
    const Clock::time_point start = Clock::now();
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        throw std::runtime_error("cannot start nebo_probe");
    std::string text;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        text.append(buffer, got);
    const int status = pclose(output);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    size_t read = 0;
    for (size_t at = text.find("\"status\":\"read\""); at != std::string::npos;
         at = text.find("\"status\":\"read\"", at + 1))
        ++read;
    if (status != 0 || read != uris.size())
        throw std::runtime_error("nebo_probe read " + std::to_string(read) + " of " + std::to_string(uris.size()) +
                                 " clips, status " + std::to_string(status));
    return uris.size() / seconds;
}

int run(const std::string&)
{
    const std::vector<std::string> uris = clipURIs();
    std::vector<double> inProcess, probeUnpooled, probeOne, probeAll;
    for (int i = 0; i < rounds; ++i) {
        inProcess.push_back(readInProcess(uris));
        probeUnpooled.push_back(runProbe("--plugin nebo_demo --pool 0", uris));
        probeOne.push_back(runProbe("--plugin nebo_demo", uris));
        probeAll.push_back(runProbe("", uris));
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

int main()
{
    return nebo::bench::runInWorkFolder(run);
}
