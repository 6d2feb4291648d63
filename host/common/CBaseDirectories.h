#pragma once

#include "foundation/CObject.h"
#include "host/plugin/IBaseDirectories.h"

namespace nebo::common {

// Starts with the system's temporary folder and an empty second folder.
// Not locked: set before the host starts serving, read afterwards.
class CBaseDirectories : public lumo::CObject, public virtual IBaseDirectories {
public:
    CBaseDirectories();

    lumo::P<lumo::CURI> getTempDirectory() override;
    void setTempDirectory(const lumo::IURI& uri) override;
    lumo::P<lumo::CURI> getOtherDirectory() override;
    void setOtherDirectory(const lumo::IURI& uri) override;

private:
    lumo::P<lumo::CURI> m_tempDirectory;
    lumo::P<lumo::CURI> m_otherDirectory;
};

} // namespace nebo::common
