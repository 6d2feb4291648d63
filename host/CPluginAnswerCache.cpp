#include "host/CPluginNameCache.h"

#include "foundation/TSingleton.h"
#include "platform/CScopedLock.h"
#include "platform/IMutexFactory.h"

namespace nebo::common {

namespace {

lumo::P<CPluginNameCache> createPluginNameCache()
{
    return lumo::make<CPluginNameCache>();
}

lumo::TSingleton<CPluginNameCache> holder(&createPluginNameCache);

} // namespace

CPluginNameCache::CPluginNameCache() : m_mutex(lumo::getMutexFactory()->createMutex())
{
}

lumo::String CPluginNameCache::getPluginName(const SLibraryFile& library,
                                             const std::function<lumo::String()>& askSlave)
{
    SAnswer& answer = answerFor(library);
    lumo::CScopedLock lock(answer.mutex);
    if (answer.name.isEmpty()) {
        ++m_questionCount;
        answer.name = askSlave();
    }
    return answer.name;
}

CPluginNameCache::SAnswer& CPluginNameCache::answerFor(const SLibraryFile& library)
{
    lumo::CScopedLock lock(m_mutex);
    SAnswer& answer = m_answers[library];
    if (!answer.mutex)
        answer.mutex = lumo::getMutexFactory()->createMutex();
    return answer;
}

lumo::P<CPluginNameCache> getPluginNameCache()
{
    return holder.get();
}

} // namespace nebo::common
