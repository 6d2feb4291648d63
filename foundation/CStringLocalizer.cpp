#include "foundation/CStringLocalizer.h"

#include "foundation/CValueList.h"
#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"

#include <algorithm>
#include <vector>

namespace lumo {

namespace {

// The localizers whose lookup is running on this thread, innermost last.
thread_local std::vector<const CStringLocalizer*> lookupsInProgress;

class CLookupGuard {
public:
    explicit CLookupGuard(const CStringLocalizer* localizer) { lookupsInProgress.push_back(localizer); }
    ~CLookupGuard() { lookupsInProgress.pop_back(); }
    CLookupGuard(const CLookupGuard&) = delete;
    CLookupGuard& operator=(const CLookupGuard&) = delete;

    static bool isRunning(const CStringLocalizer* localizer)
    {
        return std::find(lookupsInProgress.begin(), lookupsInProgress.end(), localizer) != lookupsInProgress.end();
    }
};

P<IStringLocalizer> createStringLocalizer() { return make<CStringLocalizer>(); }

TSingleton<IStringLocalizer> localizerHolder(&createStringLocalizer);

} // namespace

CStringLocalizer::CStringLocalizer() : m_mutex(getMutexFactory()->createMutex()), m_texts(make<CValueList>(true)) {}

void CStringLocalizer::clear()
{
    CScopedLock lock(m_mutex);
    m_texts->clear();
}

void CStringLocalizer::setFallback(IStringLocalizer* fallback)
{
    CScopedLock lock(m_mutex);
    m_fallback = fallback;
}

void CStringLocalizer::setText(const String& key, const String& text)
{
    CScopedLock lock(m_mutex);
    m_texts->setString(key, text);
}

P<IString> CStringLocalizer::localize(const String& key, const String& defaultText)
{
    if (CLookupGuard::isRunning(this))
        return defaultText.get();
    P<IStringLocalizer> fallback;
    {
        CScopedLock lock(m_mutex);
        const String text = m_texts->getString(key);
        if (!text.isEmpty())
            return text.get();
        fallback = m_fallback;
    }
    if (!fallback)
        return defaultText.get();
    CLookupGuard guard(this);
    return fallback->localize(key, defaultText);
}

P<IStringLocalizer> getStringLocalizer() { return localizerHolder.get(); }

String localize(const String& key, const String& defaultText)
{
    return getStringLocalizer()->localize(key, defaultText);
}

} // namespace lumo
