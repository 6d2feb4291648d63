#pragma once

#include "foundation/CObject.h"
#include "platform/IPathes.h"

namespace lumo::posix {

// The path service on POSIX, where native paths are "/"-separated byte
// strings, taken to be UTF-8.
//
// What the Windows-only rules become here:
// - Drive letters do not exist: "file:///C:/x" names the path "/C:/x".
// - A host other than empty or "localhost" is written as the network path
//   "//host/path". POSIX leaves the meaning of a leading double slash to the
//   system; Linux reads it as "/", so such a path only reaches a share that
//   is mounted there.
// - Paths have no length limit of their own and no "\\?\" long forms; "\" is
//   an ordinary character of a name, so nothing is converted between "/" and
//   "\" in either direction.
class CPathes : public CObject, public virtual IPathes {
public:
    // A relative reference (no scheme) gives its decoded path, which the
    // system takes from the current folder. Throws CURIFormatError when the
    // path holds a zero character, which would cut it short.
    String getNativePath(const IURI& uri, bool bOtherSchemesAsText) override;
    // Throws CInvalidArgError for an empty path, CError when a relative path
    // meets an unknown current folder.
    P<CURI> getURIOfNativePath(const String& path) override;
    // A name that is not set (or empty, or holding "=") stays as written,
    // "%" signs included, and its closing "%" may open the next reference.
    // Never throws.
    String expandEnvironmentStrings(const String& text) override;
    // The one well-known folder is $HOME, when it is an absolute path other
    // than "/": a text equal to it or going on below it with "/" starts with
    // "%HOME%" instead. Any other text comes back unchanged. Never throws.
    String unexpandEnvironmentStrings(const String& text) override;
};

} // namespace lumo::posix
