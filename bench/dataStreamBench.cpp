// Throughput of the data streams over a memory stream, next to a plain
// memcpy of the same bytes in the same run: a picture-sized block, and the
// many small typed values of remote-call traffic.

#include "foundation/String.h"
#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CMemoryIOStream.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace lumo;

// One 1920 x 1080 picture with 12 bits per pixel.
constexpr int32_t blockSize = 3110400;
// Four values per group: int32, double, bool, short string.
constexpr int32_t valueGroups = 25000;
constexpr int32_t valueCount = 4 * valueGroups;

const std::vector<uint8_t>& pattern()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> made(blockSize);
        for (std::size_t i = 0; i < made.size(); ++i)
            made[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
        return made;
    }();
    return bytes;
}

const std::vector<String>& shortTexts()
{
    static const std::vector<String> texts = {String::fromUTF8("Result"), String::fromUTF8("nWidth"),
                                              String::fromUTF8("fTimestamp"), String::fromUTF8("caf\xC3\xA9"),
                                              String::fromUTF8("x")};
    return texts;
}

struct Streams {
    explicit Streams(int32_t capacity)
        : memory(make<CMemoryIOStream>(nullptr, nullptr, capacity)), out(make<CDataOutStream>(memory)),
          in(make<CDataInStream>(memory))
    {
    }
    P<CMemoryIOStream> memory;
    P<CDataOutStream> out;
    P<CDataInStream> in;
};

void writeValues(IDataOutStream& out)
{
    const std::vector<String>& texts = shortTexts();
    for (int32_t i = 0; i < valueGroups; ++i) {
        out.writeInt32(i * 7919);
        out.writeDouble(i * 0.25);
        out.writeBool((i & 1) != 0);
        out.writeString(*texts[static_cast<std::size_t>(i) % texts.size()].get());
    }
}

// The encoded size of the value mix, written once.
int32_t encodedValuesSize()
{
    Streams streams(1 << 20);
    writeValues(*streams.out);
    return static_cast<int32_t>(streams.memory->getSize());
}

void memcpyOf(benchmark::State& state, int32_t size)
{
    std::vector<uint8_t> source(pattern().begin(), pattern().begin() + size);
    std::vector<uint8_t> target(static_cast<std::size_t>(size));
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void blockWrite(benchmark::State& state)
{
    Streams streams(blockSize);
    for (auto _ : state) {
        streams.memory->seek(0);
        streams.out->write(pattern().data(), blockSize);
    }
    state.SetBytesProcessed(state.iterations() * blockSize);
}

void blockRead(benchmark::State& state)
{
    Streams streams(blockSize);
    streams.out->write(pattern().data(), blockSize);
    std::vector<uint8_t> target(blockSize);
    for (auto _ : state) {
        streams.memory->seek(0);
        streams.in->readFully(target.data(), blockSize);
        benchmark::DoNotOptimize(target.data());
    }
    if (target != pattern())
        state.SkipWithError("the block read back differs");
    state.SetBytesProcessed(state.iterations() * blockSize);
}

void blockMemcpy(benchmark::State& state) { memcpyOf(state, blockSize); }

void valuesWrite(benchmark::State& state)
{
    const int32_t size = encodedValuesSize();
    Streams streams(size);
    for (auto _ : state) {
        streams.memory->seek(0);
        writeValues(*streams.out);
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.SetItemsProcessed(state.iterations() * valueCount);
}

void valuesRead(benchmark::State& state)
{
    const int32_t size = encodedValuesSize();
    Streams streams(size);
    writeValues(*streams.out);
    int64_t checksum = 0;
    for (auto _ : state) {
        streams.memory->seek(0);
        for (int32_t i = 0; i < valueGroups; ++i) {
            checksum += streams.in->readInt32();
            checksum += static_cast<int64_t>(streams.in->readDouble());
            checksum += streams.in->readBool() ? 1 : 0;
            checksum += streams.in->readString().getLength();
        }
    }
    benchmark::DoNotOptimize(checksum);
    if (!streams.in->isEOF())
        state.SkipWithError("the values read back do not end where they were written");
    state.SetBytesProcessed(state.iterations() * size);
    state.SetItemsProcessed(state.iterations() * valueCount);
}

void valuesMemcpy(benchmark::State& state) { memcpyOf(state, encodedValuesSize()); }

BENCHMARK(blockWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(blockRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(blockMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(valuesWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(valuesRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(valuesMemcpy)->Unit(benchmark::kMicrosecond);

// The console report, followed by each data-stream run's throughput as a
// fraction of the memcpy of the same bytes.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && rate != run.counters.end())
                m_rates[run.benchmark_name()] = rate->second.value;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const char* const pairs[][2] = {{"blockWrite", "blockMemcpy"},
                                        {"blockRead", "blockMemcpy"},
                                        {"valuesWrite", "valuesMemcpy"},
                                        {"valuesRead", "valuesMemcpy"}};
        for (const auto& [measured, reference] : pairs) {
            const auto found = m_rates.find(measured);
            const auto base = m_rates.find(reference);
            if (found != m_rates.end() && base != m_rates.end() && base->second > 0)
                std::printf("%-12s %9.1f MB/s = %.3g x memcpy (%.1f MB/s)\n", measured, found->second / 1e6,
                            found->second / base->second, base->second / 1e6);
        }
    }

private:
    std::map<std::string, double> m_rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
