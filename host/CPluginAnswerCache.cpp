#include "host/CPluginAnswerCache.h"

#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"

namespace nebo::common {

namespace {

lumo::P<CPluginAnswerCache> createPluginAnswerCache()
{
    return lumo::make<CPluginAnswerCache>();
}

lumo::TSingleton<CPluginAnswerCache> holder(&createPluginAnswerCache);

} // namespace

CPluginAnswerCache::CPluginAnswerCache() : m_mutex(lumo::getMutexFactory()->createMutex())
{
}

lumo::String CPluginAnswerCache::getPluginName(const SLibraryFile& library,
                                               const std::function<lumo::String()>& askSlave)
{
    SAnswers& answers = answersFor(library);
    lumo::CScopedLock lock(answers.mutex);
    if (answers.name.isEmpty()) {
        ++m_questionCount;
        answers.name = askSlave();
    }
    return answers.name;
}

lumo::P<IPluginExtensions>
CPluginAnswerCache::getValidExtensions(const SLibraryFile& library, int32_t nTypes,
                                       const std::function<lumo::P<IPluginExtensions>()>& askSlave)
{
    SAnswers& answers = answersFor(library);
    lumo::CScopedLock lock(answers.mutex);
    lumo::P<IPluginExtensions>& extensions = answers.extensions[nTypes];
    if (!extensions) {
        ++m_questionCount;
        extensions = askSlave();
    }
    return extensions;
}

CPluginAnswerCache::SAnswers& CPluginAnswerCache::answersFor(const SLibraryFile& library)
{
    lumo::CScopedLock lock(m_mutex);
    SAnswers& answers = m_answers[library];
    if (!answers.mutex)
        answers.mutex = lumo::getMutexFactory()->createMutex();
    return answers;
}

lumo::P<CPluginAnswerCache> getPluginAnswerCache()
{
    return holder.get();
}

} // namespace nebo::common
