#include "streams/CStreamManager.h"

#include "foundation/CFileNotFoundError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"

#include <algorithm>

namespace lumo {

CStreamManager::CStreamManager() : m_mutex(getMutexFactory()->createMutex()) {}

void CStreamManager::registerFactory(const P<IStreamFactory>& factory)
{
    if (!factory)
        throw CInvalidArgError("the factory must not be null", "registerFactory", this);
    CScopedLock lock(m_mutex);
    m_factories.push_back(factory);
}

void CStreamManager::unregisterFactory(IStreamFactory* factory)
{
    CScopedLock lock(m_mutex);
    m_factories.erase(std::remove_if(m_factories.begin(), m_factories.end(),
                                     [factory](const P<IStreamFactory>& known) { return known.get() == factory; }),
                      m_factories.end());
}

std::vector<P<IStreamFactory>> CStreamManager::getFactories()
{
    CScopedLock lock(m_mutex);
    return m_factories;
}

template <class S> P<S> CStreamManager::tryOpen(const P<IURI>& uri, Opener<S> opener)
{
    if (!uri)
        throw CInvalidArgError("the URI must not be null", "open", this);
    for (const P<IStreamFactory>& factory : getFactories())
        if (P<S> stream = (factory.get()->*opener)(uri))
            return stream;
    return nullptr;
}

template <class S> P<S> CStreamManager::open(const P<IURI>& uri, Opener<S> opener)
{
    P<S> stream = tryOpen(uri, opener);
    if (!stream)
        throw CFileNotFoundError(uri.get());
    return stream;
}

P<IInStream> CStreamManager::tryOpenInStream(const P<IURI>& uri) { return tryOpen(uri, &IStreamFactory::openInStream); }

P<IInStream> CStreamManager::openInStream(const P<IURI>& uri) { return open(uri, &IStreamFactory::openInStream); }

P<IOutStream> CStreamManager::tryOpenOutStream(const P<IURI>& uri)
{
    return tryOpen(uri, &IStreamFactory::openOutStream);
}

P<IOutStream> CStreamManager::openOutStream(const P<IURI>& uri) { return open(uri, &IStreamFactory::openOutStream); }

P<IIOStream> CStreamManager::tryOpenIOStream(const P<IURI>& uri) { return tryOpen(uri, &IStreamFactory::openIOStream); }

P<IIOStream> CStreamManager::openIOStream(const P<IURI>& uri) { return open(uri, &IStreamFactory::openIOStream); }

} // namespace lumo
