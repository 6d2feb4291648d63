#include "platform/CRandomGenerator.h"

#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/getTickCount.h"
#include "platform/IProcess.h"

namespace lumo {

namespace {

P<CRandomGenerator> createSeededGenerator()
{
    const uint64_t ticks = static_cast<uint64_t>(getTickCount());
    const uint32_t seed = static_cast<uint32_t>(ticks ^ (ticks >> 32)) ^ getCurrentProcessID();
    return make<CRandomGenerator>(seed);
}

TSingleton<CRandomGenerator> holder(&createSeededGenerator);

} // namespace

CRandomGenerator::CRandomGenerator(uint32_t seed) : m_lock(getMutexFactory()->createMutex()), m_engine(seed) {}

uint32_t CRandomGenerator::next()
{
    CScopedLock lock(m_lock);
    return static_cast<uint32_t>(m_engine());
}

P<CRandomGenerator> getRandomGenerator() { return holder.get(); }

} // namespace lumo
