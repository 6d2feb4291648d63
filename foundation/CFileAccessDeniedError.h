#pragma once

#include "foundation/CFileError.h"

namespace lumo {

// The system refused access to the file a URI names (localisable message;
// without a URI the file reads "<uri unknown>").
class CFileAccessDeniedError : public CFileError {
public:
    explicit CFileAccessDeniedError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
