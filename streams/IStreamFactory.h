#pragma once

#include "foundation/IURI.h"
#include "streams/IIOStream.h"
#include "streams/IInStream.h"
#include "streams/IOutStream.h"

namespace lumo {

// Opens the streams of the URIs it handles (typically one scheme). Each open
// gives null for a URI the factory does not handle, so that the stream
// manager can ask the next one; for a URI it handles, failure to open throws
// (CFileNotFoundError, CFileAccessDeniedError, ...). Thread-safe.
class IStreamFactory : public virtual IBase {
public:
    virtual P<IInStream> openInStream(const P<IURI>& uri) = 0;
    // Creates the resource, or empties it when it exists.
    virtual P<IOutStream> openOutStream(const P<IURI>& uri) = 0;
    // Creates the resource when it does not exist, and keeps its bytes when it does.
    virtual P<IIOStream> openIOStream(const P<IURI>& uri) = 0;
};

} // namespace lumo
