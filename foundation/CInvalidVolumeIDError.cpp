#include "foundation/CInvalidVolumeIDError.h"

namespace lumo {

CInvalidVolumeIDError::CInvalidVolumeIDError(const String& volumeID)
    : CError("Invalid volume id: " + volumeID, "Invalid Volume ID Error")
{
}

P<CException> CInvalidVolumeIDError::clone() const { return make<CInvalidVolumeIDError>(*this); }

} // namespace lumo
