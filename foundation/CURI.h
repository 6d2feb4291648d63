#pragma once

#include "foundation/CObject.h"
#include "foundation/IURI.h"

namespace lumo {

// A URI in the generic syntax (scheme ":" scheme-specific part), parsed once
// at construction into escaped and decoded components.
//
// Every CURI is exactly what its own text parses to: the text constructor
// keeps the text as given, the other constructors build the text from their
// pieces and parse it, refusing pieces that would read back differently.
// The path always has its "." and ".." segments removed (a ".." with no
// segment before it stays); the text of a URI parsed from text keeps them.
//
// Decoding turns %HH into the byte HH; bytes that form UTF-8 give their
// character, any other escaped byte the character with that code. A "%" not
// followed by two hexadecimal digits is kept as it is.
//
// Constructors throw CParseError "Error parsing integer." for a port text
// that is not a decimal number, and CURIFormatError for anything else that
// cannot be read as a URI. Any text is safe to parse: parsing takes time in
// proportion to its length and either builds the URI or throws.
//
// Native paths map onto "file" URIs as the platform has them: on POSIX, which
// has no drive letters or network shares, "file:///C:/x" names the path
// "/C:/x" and a host other than empty or "localhost" names no local file; on
// Windows it names "C:\x", and "file://server/share/x" the network path
// "\\server\share\x".
class CURI : public CObject, public virtual IURI {
public:
    // Reserved characters that each component keeps unescaped.
    static constexpr const char* userInfoReserved = ";:,&=+$";
    static constexpr const char* pathReserved = ";:,/@&=+$";
    static constexpr const char* queryReserved = ";:,/?@&=+$";

    // Parses a URI text. The scheme, when there is one, is a letter followed
    // by letters, digits, "+", "-" or ".".
    explicit CURI(const String& text);
    // Resolves a reference against a base URI. A reference with a scheme
    // stands as it is; any other takes the base's scheme and, unless it has
    // its own, the base's authority, and a path not starting with "/" is
    // taken relative to the base's folder. Query and fragment come from the
    // reference. The base may be relative itself, but not opaque
    // (CURIFormatError). `base` must not be null.
    CURI(const String& reference, const IURI* base);
    // Builds a URI from decoded components, any of them empty. A path that
    // follows an authority gets a leading "/". Throws CURIFormatError when
    // the result would not read back as these components: a host holding
    // "/", "?", "#", "@", an escape ("%" and two hexadecimal digits) or
    // (outside brackets) ":", a path starting with "//"
    // without an authority, a first path segment with ":" and no scheme, a
    // query or fragment on an opaque URI.
    CURI(const String& scheme, const String& path, const String& host, const String& port, const String& userInfo,
         const String& query, const String& fragment);

    // "file://" followed by the escaped absolute path. A relative path is
    // taken from the current folder. On POSIX "\" is an ordinary character
    // of names and is escaped like any other. Throws CInvalidArgError for an
    // empty path, CError when the path cannot be made absolute.
    static P<CURI> fromNativePath(const String& path);

    // %HH with upper-case digits for every character below 0x80 that is not
    // a letter, a digit, one of "-_.!~*'()" or in `reserved`; characters of
    // 0x80 and above stay as they are.
    static String escape(const String& text, const char* reserved = "");
    static String unescape(const String& text);

    P<IString> toString() const override;
    String getText() const override;
    String getDisplayText() const override;
    String getNativePath() const override;

    bool isRelative() const override;
    bool isHierarchical() const override;

    String getScheme() const override;
    String getSchemeSpecificPart() const override;
    String getEscapedSchemeSpecificPart() const override;
    String getAuthority() const override;
    String getEscapedAuthority() const override;
    String getUserInfo() const override;
    String getEscapedUserInfo() const override;
    String getHost() const override;
    String getEscapedHost() const override;
    String getPortText() const override;
    int32_t getPort() const override;
    String getPath() const override;
    String getEscapedPath() const override;
    String getFileName() const override;
    String getEscapedFileName() const override;
    String getBaseName() const override;
    String getEscapedBaseName() const override;
    String getExtension() const override;
    String getEscapedExtension() const override;
    String getFolder() const override;
    String getEscapedFolder() const override;
    String getQuery() const override;
    String getEscapedQuery() const override;
    String getFragment() const override;
    String getEscapedFragment() const override;

    bool hasScheme() const override;
    bool hasAuthority() const override;
    bool hasUserInfo() const override;
    bool hasHost() const override;
    bool hasPort() const override;
    bool hasPath() const override;
    bool hasFileName() const override;
    bool hasExtension() const override;
    bool hasFolder() const override;
    bool hasQuery() const override;
    bool hasFragment() const override;

private:
    // The escaped components of a URI text, in UTF-8.
    struct Parts;

    // A component in both of its forms.
    struct Piece {
        Piece() = default;
        explicit Piece(const std::string& escapedText);

        String escaped;
        String decoded;
    };

    explicit CURI(const Parts& parts);
    // The native path, when the URI names a local file.
    bool namesLocalFile(std::string& nativePath) const;

    String m_text;
    String m_scheme;
    bool m_relative = true;
    bool m_hierarchical = true;
    Piece m_schemeSpecificPart;
    Piece m_authority;
    Piece m_userInfo;
    Piece m_host;
    String m_portText;
    int32_t m_port = -1;
    Piece m_path;
    Piece m_fileName;
    Piece m_extension;
    Piece m_folder;
    Piece m_query;
    Piece m_fragment;
};

} // namespace lumo
