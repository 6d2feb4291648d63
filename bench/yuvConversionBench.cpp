// The YUV-to-RGB conversions of one 1920 x 1080 picture at each kernel
// level this processor runs, with each fast level's speed given as a
// multiple of the plain loops measured in the same run.

#include "bench/yuvBenchInput.h"
#include "media/yuvKernels.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace nebo::common;

using namespace nebo::bench;

const std::vector<uint8_t>& source()
{
    static const std::vector<uint8_t> bytes = makeNoise();
    return bytes;
}
const char* const layoutNames[] = {"NV12", "YV12", "YUY2"};

void convert(int layout, const uint8_t* bytes, uint8_t* rgb, EYUVKernelLevel level)
{
    switch (layout) {
    case 0:
        convertNV12ToRGB(bytes, bytes + area, width, height, rgb, level);
        break;
    case 1:
        convertYV12ToRGB(bytes, bytes + area + area / 4, bytes + area, width, height, rgb, level);
        break;
    default:
        convertYUY2ToRGB(bytes, area, rgb, level);
    }
}

void conversion(benchmark::State& state, int layout, EYUVKernelLevel level)
{
    std::vector<uint8_t> rgb(4 * area);
    for (auto _ : state) {
        convert(layout, source().data(), rgb.data(), level);
        benchmark::DoNotOptimize(rgb.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * area);
}

std::string nameOf(int layout, EYUVKernelLevel level)
{
    return std::string(layoutNames[layout]) + "/" + levelNames[int(level)];
}

void registerConversions()
{
    for (int layout = 0; layout < 3; ++layout)
        for (EYUVKernelLevel level :
             {EYUVKernelLevel::plain, EYUVKernelLevel::sse2, EYUVKernelLevel::avx2, EYUVKernelLevel::avx512})
            if (isYUVKernelLevelSupported(level))
                benchmark::RegisterBenchmark(nameOf(layout, level).c_str(), conversion, layout, level)
                    ->Unit(benchmark::kMicrosecond);
}

// The console report, then each fast level as a multiple of the plain one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (int layout = 0; layout < 3; ++layout) {
            const auto base = m_times.find(nameOf(layout, EYUVKernelLevel::plain));
            for (EYUVKernelLevel level : {EYUVKernelLevel::sse2, EYUVKernelLevel::avx2, EYUVKernelLevel::avx512}) {
                const auto found = m_times.find(nameOf(layout, level));
                if (base != m_times.end() && found != m_times.end() && found->second > 0)
                    std::printf("%-10s %8.0f us = %.2f x as fast as plain (%.0f us)\n", nameOf(layout, level).c_str(),
                                found->second, base->second / found->second, base->second);
            }
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    registerConversions();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
