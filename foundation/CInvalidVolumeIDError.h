#pragma once

#include "foundation/CError.h"

namespace lumo {

// A volume identifier that names no volume. Built from the identifier.
class CInvalidVolumeIDError : public CError {
public:
    explicit CInvalidVolumeIDError(const String& volumeID);

    P<CException> clone() const override;
};

} // namespace lumo
