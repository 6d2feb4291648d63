#pragma once

#include "foundation/CObject.h"
#include "streams/IStreamFactory.h"

namespace lumo {

// Opens disk streams for "file" URIs (the scheme in any case) and answers
// null for every other URI.
class CDiskStreamFactory : public CObject, public virtual IStreamFactory {
public:
    P<IInStream> openInStream(const P<IURI>& uri) override;
    P<IOutStream> openOutStream(const P<IURI>& uri) override;
    P<IIOStream> openIOStream(const P<IURI>& uri) override;
};

} // namespace lumo
