#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"

namespace lumo {

// Turns URIs into native file paths and back. Stateless; any thread may
// use it.
class IPathes : public virtual IBase {
public:
    // The native path of a "file" URI; the empty string for an empty URI.
    // A URI of another scheme gives its whole text when
    // `bOtherSchemesAsText` is true and the empty string otherwise.
    virtual String getNativePath(const IURI& uri, bool bOtherSchemesAsText) = 0;
    // The "file" URI of a native path; a relative path is taken from the
    // current folder. Throws CInvalidArgError for an empty path.
    virtual P<CURI> getURIOfNativePath(const String& path) = 0;
    // Replaces every %NAME% whose variable is set by its value. Throws CError
    // "error expanding environmental string" when it cannot.
    virtual String expandEnvironmentStrings(const String& text) = 0;
    // Replaces a leading folder that a well-known variable names by %NAME%.
    // Throws CError "error unexpanding environmental string" when it cannot.
    virtual String unexpandEnvironmentStrings(const String& text) = 0;
};

// The platform's path service, made anew on each call.
P<IPathes> createPathes();
// The process-wide path service.
P<IPathes> getPathes();

} // namespace lumo
