#pragma once

#include "platform/CPriorityScale.h"

namespace lumo::posix {

// The process priorities as nice values, for every start of a program here.
inline const CPriorityScale<int> niceScale({{
    {IProcess::priorityIdle, 19},
    {IProcess::priorityBelowNormal, 5},
    {IProcess::priorityNormal, 0},
    {IProcess::priorityAboveNormal, -5},
    {IProcess::priorityHigh, -10},
    {IProcess::priorityRealtime, -20},
}});

} // namespace lumo::posix
