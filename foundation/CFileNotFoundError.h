#pragma once

#include "foundation/CFileError.h"

namespace lumo {

// The file a URI names does not exist. The message names the file when a URI
// is given (localisable).
class CFileNotFoundError : public CFileError {
public:
    explicit CFileNotFoundError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
