#pragma once

#include "foundation/CObject.h"

namespace lumo {

// A value that counts its own destruction, for tests of who releases what.
class CLifeProbe : public CObject {
public:
    explicit CLifeProbe(int& destructions) : m_destructions(destructions) {}
    ~CLifeProbe() override { ++m_destructions; }

private:
    int& m_destructions;
};

} // namespace lumo
