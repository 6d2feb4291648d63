#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "streams/IStreamManager.h"

#include <vector>

namespace lumo {

// See IStreamManager. Starts with no factory registered.
class CStreamManager : public CObject, public virtual IStreamManager {
public:
    CStreamManager();

    void registerFactory(const P<IStreamFactory>& factory) override;
    void unregisterFactory(IStreamFactory* factory) override;

    P<IInStream> tryOpenInStream(const P<IURI>& uri) override;
    P<IInStream> openInStream(const P<IURI>& uri) override;
    P<IOutStream> tryOpenOutStream(const P<IURI>& uri) override;
    P<IOutStream> openOutStream(const P<IURI>& uri) override;
    P<IIOStream> tryOpenIOStream(const P<IURI>& uri) override;
    P<IIOStream> openIOStream(const P<IURI>& uri) override;

private:
    template <class S> using Opener = P<S> (IStreamFactory::*)(const P<IURI>&);

    template <class S> P<S> tryOpen(const P<IURI>& uri, Opener<S> opener);
    template <class S> P<S> open(const P<IURI>& uri, Opener<S> opener);
    std::vector<P<IStreamFactory>> getFactories();

    P<IMutex> m_mutex;
    std::vector<P<IStreamFactory>> m_factories;
};

} // namespace lumo
