#pragma once

#include "foundation/CURIError.h"

namespace lumo {

// The base of the errors a stream throws about itself. The URI is the
// stream's (null for streams without one); the description's %URI% is
// replaced as in CURIError.
class CStreamError : public CURIError {
public:
    CStreamError(const String& description, const IURI* uri);

    P<CException> clone() const override;

protected:
    // Takes a description that is already complete: nothing is replaced.
    CStreamError(const IURI* uri, const String& finishedDescription);
};

} // namespace lumo
