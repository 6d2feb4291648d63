#pragma once

#include "platform/IProcess.h"

#include <array>
#include <cstdint>

namespace lumo {

// How the six process priorities map onto the values a system has for them
// (nice values, priority classes) and back. The scale holds one step for
// each priority; a priority or a value it does not hold counts as normal.
template <class Native> class CPriorityScale {
public:
    struct SStep {
        int32_t priority;
        Native native;
    };

    constexpr explicit CPriorityScale(const std::array<SStep, 6>& steps) : m_steps(steps) {}

    Native nativeOf(int32_t priority) const
    {
        Native normal{};
        for (const SStep& step : m_steps) {
            if (step.priority == priority)
                return step.native;
            if (step.priority == IProcess::priorityNormal)
                normal = step.native;
        }
        return normal;
    }

    int32_t priorityOf(Native native) const
    {
        for (const SStep& step : m_steps)
            if (step.native == native)
                return step.priority;
        return IProcess::priorityNormal;
    }

private:
    std::array<SStep, 6> m_steps;
};

} // namespace lumo
