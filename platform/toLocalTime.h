#pragma once

#include <ctime>

namespace lumo {

// The calendar fields of `time` in the process's local time zone, as the
// platform knows it; false when it cannot tell. Any thread may call.
bool toLocalTime(std::time_t time, std::tm& local);

} // namespace lumo
