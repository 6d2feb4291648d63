#include "tools/probe/formatNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace nebo::probe {

std::string formatNumber(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string formatSeconds(double seconds) { return formatNumber(seconds, 3) + " s"; }

std::string formatClockTime(double seconds)
{
    // A billion seconds, some 30 years, is more than any medium lasts.
    const double bounded = std::isfinite(seconds) ? std::fmin(std::fmax(seconds, 0.0), 1.0e9) : 0.0;
    // Times such as 0.3 s are not exact in binary: a hair is added so that they show as themselves.
    const auto tenths = static_cast<int64_t>(std::floor(bounded * 10.0 + 1.0e-6));
    const int64_t hours = tenths / 36000;
    const int64_t minutes = tenths / 600 % 60;
    const int64_t wholeSeconds = tenths / 10 % 60;
    char text[64];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(wholeSeconds),
                      static_cast<long long>(tenths % 10));
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld.%lld", static_cast<long long>(minutes),
                      static_cast<long long>(wholeSeconds), static_cast<long long>(tenths % 10));
    return text;
}

} // namespace nebo::probe
