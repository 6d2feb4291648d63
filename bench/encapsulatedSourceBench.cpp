// Pictures per second of a 1920x1080 NV12 demo clip read from a real slave:
// through CEncapsulatedSource with prefetching, beside reading the same clip
// through the source client directly, the baseline, in the same run.

#include "bench/benchSupport.h"
#include "foundation/castObject.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CEncapsulatedSource.h"
#include "host/master/CSlaveHandler.h"
#include "host/plugin/IVideoSource.h"

#include <algorithm>
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

constexpr int rounds = 5;
constexpr int picturesPerRound = 100;

P<lumo::CURI> clipURI()
{
    return make<lumo::CURI>(
        String::fromUTF8("file:///bench/clip.demo?w=1920&h=1080&fmt=nv12&frames=" + std::to_string(picturesPerRound)));
}

// Pictures per second while `source` gives the whole clip.
double readClip(IVideoSource& source)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < picturesPerRound; ++i)
        if (!source.getNextPicture())
            throw std::runtime_error("the clip ended early");
    return picturesPerRound / std::chrono::duration<double>(Clock::now() - start).count();
}

double readThroughClient(const P<INEBContext>& context)
{
    const P<CSlaveHandler> slave = make<CSlaveHandler>(context, String("nebo_demo"), lumo::IProcess::priorityNormal);
    const P<IVideoSource> source =
        lumo::castObject<IVideoSource>(slave->getClient()->tryCreateSource(*clipURI(), 1, true, nullptr));
    source->open();
    return readClip(*source);
}

double readThroughEncapsulatedSource(const P<INEBContext>& context)
{
    const P<CEncapsulatedSource> source =
        make<CEncapsulatedSource>(context, String("nebo_demo"), *clipURI(), 1, nullptr);
    source->open();
    const double rate = readClip(*source);
    source->close();
    return rate;
}

// Both rates, each the median of its rounds, and their ratio.
int compareRates()
{
    const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
    context->setPrefetch(true);
    std::vector<double> client, encapsulated;
    for (int i = 0; i < rounds; ++i) {
        client.push_back(readThroughClient(context));
        encapsulated.push_back(readThroughEncapsulatedSource(context));
    }

    const double clientRate = median(client);
    const double encapsulatedRate = median(encapsulated);
    std::printf("1920x1080 NV12 pictures per second, median of %d rounds of %d:\n", rounds, picturesPerRound);
    std::printf("  source client            %8.1f\n", clientRate);
    std::printf("  encapsulated, prefetched %8.1f\n", encapsulatedRate);
    std::printf("  ratio                    %8.2f\n", encapsulatedRate / clientRate);
    return 0;
}

} // namespace

int main()
{
    return nebo::bench::runInWorkFolder([](const std::string&) { return compareRates(); });
}
