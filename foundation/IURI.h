#pragma once

#include "foundation/String.h"

#include <cstdint>

namespace lumo {

// A parsed URI: immutable, so one object may be read from any number of
// threads at once. toString() gives the same text as getText().
//
// Every component comes in two forms: getEscapedX() as it stands in the
// URI's text, with its %HH escapes, and getX() with the escapes decoded. The
// scheme and the port text have one form only: they cannot hold escapes.
// An absent component is the empty string; a "has" test is true when the
// component is not empty.
class IURI : public virtual IBase {
public:
    // The whole URI: the scheme, ":" and the scheme-specific part, or only
    // the scheme-specific part for a relative reference.
    virtual String getText() const = 0;
    // The URI as shown to a user: for a "file" URI that names a local file
    // its native path, otherwise the text with its escapes decoded. Never
    // throws.
    virtual String getDisplayText() const = 0;
    // The local file path that a "file" URI names. Throws
    // CURITypeNotSupportedError for any URI that names no local file (another
    // scheme, a relative or opaque URI, on POSIX a host other than
    // "localhost"), and CURIFormatError when the path holds a zero character.
    virtual String getNativePath() const = 0;

    // No scheme: a reference that still has to be resolved against a base.
    virtual bool isRelative() const = 0;
    // False for an opaque URI ("scheme:" followed by anything but "/"), which
    // keeps its whole scheme-specific part as its path.
    virtual bool isHierarchical() const = 0;

    virtual String getScheme() const = 0;
    virtual String getSchemeSpecificPart() const = 0;
    virtual String getEscapedSchemeSpecificPart() const = 0;
    // user information "@" host ":" port, each part optional.
    virtual String getAuthority() const = 0;
    virtual String getEscapedAuthority() const = 0;
    virtual String getUserInfo() const = 0;
    virtual String getEscapedUserInfo() const = 0;
    virtual String getHost() const = 0;
    virtual String getEscapedHost() const = 0;
    virtual String getPortText() const = 0;
    // The port number, -1 when there is no port text.
    virtual int32_t getPort() const = 0;
    virtual String getPath() const = 0;
    virtual String getEscapedPath() const = 0;
    // The last segment of the path; for a path ending in "/" the segment
    // before that "/".
    virtual String getFileName() const = 0;
    virtual String getEscapedFileName() const = 0;
    // The file name itself: it is not cut at the extension.
    virtual String getBaseName() const = 0;
    virtual String getEscapedBaseName() const = 0;
    // The file name from its last ".", the "." included.
    virtual String getExtension() const = 0;
    virtual String getEscapedExtension() const = 0;
    // The path up to and including the "/" before the file name.
    virtual String getFolder() const = 0;
    virtual String getEscapedFolder() const = 0;
    virtual String getQuery() const = 0;
    virtual String getEscapedQuery() const = 0;
    virtual String getFragment() const = 0;
    virtual String getEscapedFragment() const = 0;

    virtual bool hasScheme() const = 0;
    virtual bool hasAuthority() const = 0;
    virtual bool hasUserInfo() const = 0;
    virtual bool hasHost() const = 0;
    virtual bool hasPort() const = 0;
    virtual bool hasPath() const = 0;
    virtual bool hasFileName() const = 0;
    virtual bool hasExtension() const = 0;
    virtual bool hasFolder() const = 0;
    virtual bool hasQuery() const = 0;
    virtual bool hasFragment() const = 0;
};

} // namespace lumo
