// Our YUV-to-RGB kernels, at each vector level this processor runs, next to
// libyuv's conversions of the same 1920 x 1080 planes, on one thread, in
// Mpixel/s. Rounds of ours and theirs alternate so that a busy machine slows
// both alike; the medians and the ratios ours / libyuv are printed. libyuv rounds differently, so only the
// speed is compared, never the bytes.

#include "bench/yuvBenchInput.h"
#include "media/yuvKernels.h"

#include <libyuv.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

using namespace nebo::bench;
using namespace nebo::common;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 21;
constexpr int picturesPerRound = 10;

struct SContender {
    const char* layout;
    const char* theirs;
    void (*ours)(const uint8_t* source, uint8_t* rgb, EYUVKernelLevel level);
    void (*libyuv)(const uint8_t* source, uint8_t* rgb);
};

// The YV12 block holds Y, then V, then U.
const uint8_t* yv12V(const uint8_t* source) { return source + area; }
const uint8_t* yv12U(const uint8_t* source) { return source + area + area / 4; }

const SContender contenders[] = {
    {"NV12", "NV12ToARGB",
     [](const uint8_t* source, uint8_t* rgb, EYUVKernelLevel level) {
         convertNV12ToRGB(source, source + area, width, height, rgb, level);
     },
     [](const uint8_t* source, uint8_t* rgb) {
         libyuv::NV12ToARGB(source, width, source + area, width, rgb, 4 * width, width, height);
     }},
    {"YV12", "I420ToARGB",
     [](const uint8_t* source, uint8_t* rgb, EYUVKernelLevel level) {
         convertYV12ToRGB(source, yv12U(source), yv12V(source), width, height, rgb, level);
     },
     [](const uint8_t* source, uint8_t* rgb) {
         libyuv::I420ToARGB(source, width, yv12U(source), width / 2, yv12V(source), width / 2, rgb, 4 * width, width,
                            height);
     }},
    {"YUY2", "YUY2ToARGB",
     [](const uint8_t* source, uint8_t* rgb, EYUVKernelLevel level) { convertYUY2ToRGB(source, area, rgb, level); },
     [](const uint8_t* source, uint8_t* rgb) { libyuv::YUY2ToARGB(source, 2 * width, rgb, 4 * width, width, height); }},
};

template <class FConvert>
double timeRound(FConvert convert, const std::vector<uint8_t>& source, std::vector<uint8_t>& rgb)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < picturesPerRound; ++i)
        convert(source.data(), rgb.data());
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double megapixelsPerSecond(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return picturesPerRound * area / seconds[seconds.size() / 2] / 1e6;
}

std::vector<EYUVKernelLevel> vectorLevels()
{
    std::vector<EYUVKernelLevel> levels;
    for (EYUVKernelLevel level : {EYUVKernelLevel::sse2, EYUVKernelLevel::avx2, EYUVKernelLevel::avx512})
        if (isYUVKernelLevelSupported(level))
            levels.push_back(level);
    return levels;
}

} // namespace

int main()
{
    const std::vector<uint8_t> source = makeNoise();
    std::vector<uint8_t> rgb(4 * area, 0);
    const std::vector<EYUVKernelLevel> levels = vectorLevels();
    std::printf("%dx%d on one thread, median of %d rounds of %d pictures (the best level here is %s):\n", width, height,
                rounds, picturesPerRound, levelNames[int(getBestYUVKernelLevel())]);
    for (const SContender& contender : contenders) {
        std::vector<std::vector<double>> ours(levels.size());
        std::vector<double> theirs;
        for (int round = -1; round < rounds; ++round) {
            // Round -1 warms the caches up.
            for (size_t i = 0; i < levels.size(); ++i) {
                const double seconds =
                    timeRound([&](const uint8_t* bytes, uint8_t* pixels) { contender.ours(bytes, pixels, levels[i]); },
                              source, rgb);
                if (round >= 0)
                    ours[i].push_back(seconds);
            }
            const double seconds = timeRound(contender.libyuv, source, rgb);
            if (round >= 0)
                theirs.push_back(seconds);
        }
        const double theirSpeed = megapixelsPerSecond(theirs);
        std::printf("  %s  libyuv %-10s %7.1f Mpixel/s\n", contender.layout, contender.theirs, theirSpeed);
        for (size_t i = 0; i < levels.size(); ++i) {
            const double ourSpeed = megapixelsPerSecond(ours[i]);
            std::printf("        ours at %-6s   %7.1f Mpixel/s   ratio %.2f\n", levelNames[int(levels[i])], ourSpeed,
                        ourSpeed / theirSpeed);
        }
    }
    return 0;
}
