#include "tools/probe/formatNumber.h"

#include <cstdio>

namespace nebo::probe {

std::string formatNumber(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string formatSeconds(double seconds)
{
    return formatNumber(seconds, 3) + " s";
}

} // namespace nebo::probe
