#pragma once

#include "foundation/CObject.h"

#include <atomic>

namespace lumo {

// An object that counts its destruction, whichever thread releases it.
class CCountedProbe : public CObject {
public:
    explicit CCountedProbe(std::atomic<int>& destructions) : m_destructions(destructions) {}
    ~CCountedProbe() override { ++m_destructions; }

private:
    std::atomic<int>& m_destructions;
};

} // namespace lumo
