#pragma once

#include "streams/IStreamFactory.h"

namespace lumo {

// Opens a stream for a URI by asking the registered factories in the order of
// their registration; the first that answers with a stream wins. The trying
// forms give null when no factory answers; the plain forms throw
// CFileNotFoundError for the URI instead. A null URI throws
// CInvalidArgError. Thread-safe; factories are called without the manager's
// lock held, so they may register or unregister factories themselves.
class IStreamManager : public virtual IBase {
public:
    virtual void registerFactory(const P<IStreamFactory>& factory) = 0;
    // Forgets every registration of `factory`; an unknown one is ignored.
    virtual void unregisterFactory(IStreamFactory* factory) = 0;

    virtual P<IInStream> tryOpenInStream(const P<IURI>& uri) = 0;
    virtual P<IInStream> openInStream(const P<IURI>& uri) = 0;
    virtual P<IOutStream> tryOpenOutStream(const P<IURI>& uri) = 0;
    virtual P<IOutStream> openOutStream(const P<IURI>& uri) = 0;
    virtual P<IIOStream> tryOpenIOStream(const P<IURI>& uri) = 0;
    virtual P<IIOStream> openIOStream(const P<IURI>& uri) = 0;
};

} // namespace lumo
