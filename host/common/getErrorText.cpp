#include "host/common/getErrorText.h"

namespace nebo::common {

lumo::String getErrorText(const lumo::CException& error)
{
    const lumo::String description(error.getDescription());
    return description.isEmpty() ? lumo::String(error.getGeneralDescription()) : description;
}

} // namespace nebo::common
