#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"

#include <cstdint>
#include <random>

namespace lumo {

// A Mersenne Twister (MT19937) shared by its users, for numbers that only
// need to differ, such as the digits of unique file names. Not for secrets.
// Safe from any thread: each number is drawn once.
class CRandomGenerator : public CObject {
public:
    explicit CRandomGenerator(uint32_t seed);

    uint32_t next();

private:
    P<IMutex> m_lock;
    std::mt19937 m_engine;
};

// The process-wide generator, seeded once at its creation from the tick and
// the process id, so that processes started together still draw different
// numbers.
P<CRandomGenerator> getRandomGenerator();

} // namespace lumo
