#include "host/master/CPluginAnswerCache.h"

#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "host/plugin/CPluginExtensions.h"

namespace nebo::common {

namespace {

lumo::P<CPluginAnswerCache> createPluginAnswerCache()
{
    return lumo::make<CPluginAnswerCache>(CPluginAnswerFile(CPluginAnswerFile::userFilePath()));
}

lumo::TSingleton<CPluginAnswerCache> holder(&createPluginAnswerCache);

lumo::P<IPluginExtensions> toList(const std::vector<std::string>& texts)
{
    const lumo::P<CPluginExtensions> list = lumo::make<CPluginExtensions>();
    for (const std::string& text : texts)
        list->addExtension(lumo::String::fromUTF8(text));
    return list;
}

std::vector<std::string> toTexts(IPluginExtensions& list)
{
    std::vector<std::string> texts;
    for (int32_t index = 0; index < list.getExtensionCount(); ++index)
        texts.push_back(lumo::String::fromUTF16(list.getExtension(index)).toUTF8());
    return texts;
}

} // namespace

CPluginAnswerCache::CPluginAnswerCache(CPluginAnswerFile file)
    : m_file(std::move(file)), m_mutex(lumo::getMutexFactory()->createMutex()),
      m_fileMutex(lumo::getMutexFactory()->createMutex())
{
}

lumo::String CPluginAnswerCache::getPluginName(const SLibraryFile& library,
                                               const std::function<lumo::String()>& askSlave)
{
    SAnswers& answers = answersFor(library);
    lumo::CScopedLock lock(answers.mutex);
    if (answers.record.name.empty()) {
        ++m_questionCount;
        answers.record.name = askSlave().toUTF8();
        store(library, answers);
    }
    return lumo::String::fromUTF8(answers.record.name);
}

int32_t CPluginAnswerCache::getValidTypes(const SLibraryFile& library, const std::function<int32_t()>& askSlave)
{
    SAnswers& answers = answersFor(library);
    lumo::CScopedLock lock(answers.mutex);
    if (!answers.record.types) {
        ++m_questionCount;
        answers.record.types = askSlave();
        store(library, answers);
    }
    return *answers.record.types;
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
        if (extensions) {
            answers.record.extensions[nTypes] = toTexts(*extensions);
            store(library, answers);
        }
    }
    return extensions;
}

CPluginAnswerCache::SAnswers& CPluginAnswerCache::answersFor(const SLibraryFile& library)
{
    lumo::CScopedLock lock(m_mutex);
    if (!m_stored)
        m_stored = m_file.read();
    SAnswers& answers = m_answers[library];
    if (!answers.mutex) {
        answers.mutex = lumo::getMutexFactory()->createMutex();
        if (const auto stored = m_stored->find(library); stored != m_stored->end()) {
            answers.record = stored->second;
            for (const auto& [types, texts] : answers.record.extensions)
                answers.extensions[types] = toList(texts);
        }
    }
    return answers;
}

void CPluginAnswerCache::store(const SLibraryFile& library, const SAnswers& answers)
{
    lumo::CScopedLock lock(m_fileMutex);
    m_file.store(library, answers.record);
}

lumo::P<CPluginAnswerCache> getPluginAnswerCache() { return holder.get(); }

} // namespace nebo::common
