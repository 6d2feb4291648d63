#include "host/master/CSlaveError.h"

namespace nebo::common {

CSlaveError::CSlaveError(const lumo::String& description, const lumo::String& summary,
                         const lumo::String& errorFilePath)
    : CNEBError(description), m_summary(summary), m_errorFilePath(errorFilePath)
{
}

lumo::P<lumo::CException> CSlaveError::clone() const { return lumo::make<CSlaveError>(*this); }

} // namespace nebo::common
