#pragma once

#include <string>

namespace nebo::probe {

// `value` with exactly `decimals` digits after the point: "2.50".
std::string formatNumber(double value, int decimals);
// Seconds with milliseconds and the unit: "0.400 s".
std::string formatSeconds(double seconds);

} // namespace nebo::probe
