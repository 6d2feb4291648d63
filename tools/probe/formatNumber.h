#pragma once

#include <string>

namespace nebo::probe {

// `value` with exactly `decimals` digits after the point: "2.50".
std::string formatNumber(double value, int decimals);
// Seconds with milliseconds and the unit: "0.400 s".
std::string formatSeconds(double seconds);
// A time as a clock shows it, to the tenth of a second below it: "01:05.3",
// and with hours "1:02:05.3". Times below 0 or not finite read as 0.
std::string formatClockTime(double seconds);

} // namespace nebo::probe
