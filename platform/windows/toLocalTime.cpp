#include "platform/toLocalTime.h"

namespace lumo {

bool toLocalTime(std::time_t time, std::tm& local)
{
    // The reentrant form: std::localtime shares one result among threads.
    return localtime_s(&local, &time) == 0;
}

} // namespace lumo
