#pragma once

#include "foundation/CURIError.h"

namespace lumo {

// A failed file operation on the file a URI names. The description's %URI%
// is replaced as in CURIError.
class CFileError : public CURIError {
public:
    CFileError(const String& description, const IURI* uri);

    P<CException> clone() const override;

protected:
    // Takes a description that is already complete: nothing is replaced.
    CFileError(const IURI* uri, const String& finishedDescription);
};

} // namespace lumo
