#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"

namespace nebo::common {

// The folders the host works in. The setters keep their own copy.
class IBaseDirectories : public virtual lumo::IBase {
public:
    virtual lumo::P<lumo::CURI> getTempDirectory() = 0;
    virtual void setTempDirectory(const lumo::IURI& uri) = 0;
    // A second folder that is only carried along with the context.
    virtual lumo::P<lumo::CURI> getOtherDirectory() = 0;
    virtual void setOtherDirectory(const lumo::IURI& uri) = 0;
};

} // namespace nebo::common
