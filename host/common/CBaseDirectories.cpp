#include "host/common/CBaseDirectories.h"

#include "platform/ISystem.h"

namespace nebo::common {

namespace {

// A URI of our own, so that the caller's object may be of any class.
lumo::P<lumo::CURI> copyOf(const lumo::IURI& uri) { return lumo::make<lumo::CURI>(uri.getText()); }

} // namespace

CBaseDirectories::CBaseDirectories()
    : m_tempDirectory(lumo::getSystem()->getTempDirectory()), m_otherDirectory(lumo::make<lumo::CURI>(lumo::String("")))
{
}

lumo::P<lumo::CURI> CBaseDirectories::getTempDirectory() { return m_tempDirectory; }

void CBaseDirectories::setTempDirectory(const lumo::IURI& uri) { m_tempDirectory = copyOf(uri); }

lumo::P<lumo::CURI> CBaseDirectories::getOtherDirectory() { return m_otherDirectory; }

void CBaseDirectories::setOtherDirectory(const lumo::IURI& uri) { m_otherDirectory = copyOf(uri); }

} // namespace nebo::common
