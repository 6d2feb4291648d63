#include "foundation/CURI.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/nativeFilePath.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

namespace {

constexpr std::string_view unreservedMarks = "-_.!~*'()";
constexpr std::size_t npos = std::string_view::npos;

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (isAsciiDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

bool isValidScheme(std::string_view scheme)
{
    if (scheme.empty() || !isAsciiLetter(scheme[0]))
        return false;
    for (char c : scheme) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// A host that reads back as itself: it ends before "/?#", follows any "@"
// and has no ":" after its closing "]".
bool isPlainHost(std::string_view host)
{
    const std::size_t separator = host.find_last_of(":]");
    return host.find_first_of("/?#@") == npos && (separator == npos || host[separator] == ']');
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string escapeUTF8(std::string_view text, std::string_view reserved)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x80 || isAsciiLetter(c) || isAsciiDigit(c) || unreservedMarks.find(c) != npos ||
            reserved.find(c) != npos) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hexDigits[code >> 4];
            escaped += hexDigits[code & 0x0F];
        }
    }
    return escaped;
}

// The byte of a well-formed %HH at `at`, or -1.
int escapedByteAt(std::string_view text, std::size_t at)
{
    if (at >= text.size() || text.size() - at < 3 || text[at] != '%')
        return -1;
    const int high = hexValue(text[at + 1]);
    const int low = hexValue(text[at + 2]);
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

// The number of escapes from `at` that spell one UTF-8 character, 0 if
// they do not.
std::size_t escapedUTF8Length(std::string_view text, std::size_t at)
{
    const int lead = escapedByteAt(text, at);
    std::size_t length = 0;
    int low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;   // no overlong forms
        high = lead == 0xED ? 0x9F : high; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high; // nothing above U+10FFFF
    }
    for (std::size_t i = 1; i < length; ++i) {
        const int next = escapedByteAt(text, at + 3 * i);
        if (next < low || next > high)
            return 0;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

void appendLatin1(std::string& text, int code)
{
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string unescapeUTF8(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const int byte = escapedByteAt(text, i);
        if (byte < 0) {
            decoded += text[i++];
            continue;
        }
        const std::size_t length = byte < 0x80 ? 0 : escapedUTF8Length(text, i);
        if (length == 0) {
            appendLatin1(decoded, byte);
            i += 3;
            continue;
        }
        for (std::size_t k = 0; k < length; ++k, i += 3)
            decoded += static_cast<char>(escapedByteAt(text, i));
    }
    return decoded;
}

// 1 for a "." segment, 2 for "..", else 0; an escaped "." counts as one.
int dotsIn(std::string_view segment)
{
    int dots = 0;
    std::size_t i = 0;
    while (i < segment.size() && dots <= 2) {
        if (segment[i] == '.') {
            i += 1;
        } else if (equalsIgnoringAsciiCase(segment.substr(i, 3), "%2e")) {
            i += 3;
        } else {
            return 0;
        }
        ++dots;
    }
    return dots <= 2 ? dots : 0;
}

// Drops "." segments and each ".." with the segment before it. A ".." with
// no segment before it stays; a path that ended in a dropped segment keeps
// its final "/".
std::string removeDotSegments(std::string_view path)
{
    const bool absolute = startsWith(path, "/");
    std::string_view rest = path.substr(absolute ? 1 : 0);
    std::vector<std::string_view> kept;
    bool last = false;
    while (!last) {
        const std::size_t slash = rest.find('/');
        last = slash == npos;
        const std::string_view segment = rest.substr(0, slash);
        rest = last ? std::string_view() : rest.substr(slash + 1);
        const int dots = dotsIn(segment);
        const bool drop = dots == 1 || (dots == 2 && !kept.empty() && dotsIn(kept.back()) != 2);
        if (!drop) {
            kept.push_back(segment);
            continue;
        }
        if (dots == 2)
            kept.pop_back();
        if (last)
            kept.push_back(std::string_view());
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            result += '/';
        result += kept[i];
    }
    return result;
}

struct PathPieces {
    std::string_view fileName;
    std::string_view extension;
    std::string_view folder;
};

PathPieces splitPath(std::string_view path)
{
    PathPieces pieces;
    if (path == "/") {
        pieces.folder = path;
    } else if (path.size() > 1 && path.back() == '/') {
        const std::size_t slash = path.rfind('/', path.size() - 2);
        if (slash != npos) {
            pieces.fileName = path.substr(slash + 1, path.size() - slash - 2);
            pieces.folder = path.substr(0, slash + 1);
        }
    } else {
        const std::size_t slash = path.rfind('/');
        pieces.fileName = slash == npos ? path : path.substr(slash + 1);
        pieces.folder = slash == npos ? std::string_view() : path.substr(0, slash + 1);
        const std::size_t dot = pieces.fileName.rfind('.');
        pieces.extension = dot == npos ? std::string_view() : pieces.fileName.substr(dot);
    }
    return pieces;
}

} // namespace

struct CURI::Parts {
    std::string scheme;
    bool relative = true;
    bool hierarchical = true;
    // "//" was given, even when the authority itself is empty ("file:///x").
    bool authorityPresent = false;
    std::string schemeSpecificPart;
    std::string authority;
    std::string userInfo;
    std::string host;
    std::string portText;
    int32_t port = -1;
    std::string path;
    std::string query;
    std::string fragment;

    static Parts parse(std::string_view text);
    static Parts resolve(const String& reference, const IURI* base);
    static Parts fromComponents(const String& scheme, const String& path, const String& host, const String& port,
                                const String& userInfo, const String& query, const String& fragment);

    std::string text() const;
    // The parts that text() parses to; refuses parts that read back
    // differently.
    Parts reparsed() const;
    bool sameComponents(const Parts& other) const;

    void splitAuthority();
    void parseHierarchical(std::string_view rest);
    [[noreturn]] static void refuse(std::string_view text);
};

CURI::Parts CURI::Parts::parse(std::string_view text)
{
    Parts parts;
    const std::size_t delimiter = text.find_first_of(":/?#");
    if (delimiter != npos && text[delimiter] == ':') {
        parts.scheme = text.substr(0, delimiter);
        if (!isValidScheme(parts.scheme))
            refuse(text);
        parts.relative = false;
        parts.schemeSpecificPart = text.substr(delimiter + 1);
    } else {
        parts.schemeSpecificPart = text;
    }
    // An opaque part has no segments, so its path is the whole part as it is.
    parts.hierarchical = parts.relative || startsWith(parts.schemeSpecificPart, "/");
    if (parts.hierarchical)
        parts.parseHierarchical(parts.schemeSpecificPart);
    else
        parts.path = parts.schemeSpecificPart;
    if (!parts.portText.empty())
        parts.port = parseInteger(String::fromUTF8(parts.portText));
    return parts;
}

void CURI::Parts::parseHierarchical(std::string_view rest)
{
    if (startsWith(rest, "//")) {
        authorityPresent = true;
        const std::size_t end = rest.find_first_of("/?#", 2);
        authority = rest.substr(2, end == npos ? npos : end - 2);
        rest = end == npos ? std::string_view() : rest.substr(end);
        splitAuthority();
    }
    const std::size_t pathEnd = rest.find_first_of("?#");
    path = removeDotSegments(rest.substr(0, pathEnd));
    rest = pathEnd == npos ? std::string_view() : rest.substr(pathEnd);
    if (startsWith(rest, "?")) {
        const std::size_t queryEnd = rest.find('#');
        query = rest.substr(1, queryEnd == npos ? npos : queryEnd - 1);
        rest = queryEnd == npos ? std::string_view() : rest.substr(queryEnd);
    }
    if (startsWith(rest, "#"))
        fragment = rest.substr(1);
}

void CURI::Parts::splitAuthority()
{
    std::string_view hostAndPort = authority;
    const std::size_t at = hostAndPort.find('@');
    if (at != npos) {
        userInfo = hostAndPort.substr(0, at);
        hostAndPort.remove_prefix(at + 1);
    }
    // A "]" after the last ":" closes a bracketed address such as [::1].
    const std::size_t separator = hostAndPort.find_last_of(":]");
    if (separator != npos && hostAndPort[separator] == ':') {
        host = hostAndPort.substr(0, separator);
        portText = hostAndPort.substr(separator + 1);
    } else {
        host = hostAndPort;
    }
}

CURI::Parts CURI::Parts::resolve(const String& reference, const IURI* base)
{
    if (!base)
        throw CInvalidArgError("The base URI is null.", "CURI::CURI");
    Parts parts = parse(reference.toUTF8());
    if (!parts.relative)
        return parts;
    if (!base->isHierarchical())
        throw CURIFormatError(base);
    parts.scheme = base->getScheme().toUTF8();
    if (!parts.authorityPresent) {
        parts.authorityPresent = startsWith(base->getEscapedSchemeSpecificPart().toUTF8(), "//");
        parts.authority = base->getEscapedAuthority().toUTF8();
        parts.userInfo = base->getEscapedUserInfo().toUTF8();
        parts.host = base->getEscapedHost().toUTF8();
        parts.portText = base->getPortText().toUTF8();
        if (!startsWith(parts.path, "/")) {
            const std::string basePath = base->getEscapedPath().toUTF8();
            std::string folder = basePath.substr(0, basePath.rfind('/') + 1);
            // After an authority a path must start with "/".
            if (folder.empty() && parts.authorityPresent)
                folder = "/";
            parts.path = removeDotSegments(folder + parts.path);
        }
    }
    return parts.reparsed();
}

CURI::Parts CURI::Parts::fromComponents(const String& scheme, const String& path, const String& host,
                                        const String& port, const String& userInfo, const String& query,
                                        const String& fragment)
{
    if (!port.isEmpty())
        parseInteger(port);
    Parts parts;
    parts.scheme = scheme.toUTF8();
    parts.userInfo = escapeUTF8(userInfo.toUTF8(), userInfoReserved);
    parts.host = host.toUTF8();
    parts.portText = port.toUTF8();
    parts.authorityPresent = !parts.userInfo.empty() || !parts.host.empty() || !parts.portText.empty();
    if (parts.authorityPresent) {
        parts.authority = parts.userInfo.empty() ? parts.host : parts.userInfo + "@" + parts.host;
        if (!parts.portText.empty())
            parts.authority += ":" + parts.portText;
    }
    std::string escapedPath = escapeUTF8(path.toUTF8(), pathReserved);
    if (parts.authorityPresent && !escapedPath.empty() && !startsWith(escapedPath, "/"))
        escapedPath.insert(0, "/");
    parts.path = removeDotSegments(escapedPath);
    parts.query = escapeUTF8(query.toUTF8(), queryReserved);
    parts.fragment = escapeUTF8(fragment.toUTF8(), queryReserved);
    // The host stands in the text as given, so an escape in it would read
    // back as another host.
    if (!isPlainHost(parts.host) || unescapeUTF8(parts.host) != parts.host)
        refuse(parts.text());
    return parts.reparsed();
}

std::string CURI::Parts::text() const
{
    std::string text = scheme.empty() ? "" : scheme + ":";
    if (authorityPresent)
        text += "//" + authority;
    text += path;
    if (!query.empty())
        text += "?" + query;
    if (!fragment.empty())
        text += "#" + fragment;
    return text;
}

CURI::Parts CURI::Parts::reparsed() const
{
    const std::string composed = text();
    Parts parts = parse(composed);
    if (!sameComponents(parts))
        refuse(composed);
    return parts;
}

bool CURI::Parts::sameComponents(const Parts& other) const
{
    return scheme == other.scheme && authorityPresent == other.authorityPresent && userInfo == other.userInfo &&
           host == other.host && portText == other.portText && path == other.path && query == other.query &&
           fragment == other.fragment;
}

void CURI::Parts::refuse(std::string_view text)
{
    // The error names the text as it was given, unparsed.
    Parts unparsed;
    unparsed.schemeSpecificPart = text;
    const P<CURI> uri(adopt, new CURI(unparsed));
    throw CURIFormatError(uri.get());
}

CURI::Piece::Piece(const std::string& escapedText)
    : escaped(String::fromUTF8(escapedText)), decoded(String::fromUTF8(unescapeUTF8(escapedText)))
{
}

CURI::CURI(const String& text) : CURI(Parts::parse(text.toUTF8())) {}

CURI::CURI(const String& reference, const IURI* base) : CURI(Parts::resolve(reference, base)) {}

CURI::CURI(const String& scheme, const String& path, const String& host, const String& port, const String& userInfo,
           const String& query, const String& fragment)
    : CURI(Parts::fromComponents(scheme, path, host, port, userInfo, query, fragment))
{
}

CURI::CURI(const Parts& parts)
    : m_scheme(String::fromUTF8(parts.scheme)), m_relative(parts.relative), m_hierarchical(parts.hierarchical),
      m_schemeSpecificPart(parts.schemeSpecificPart), m_authority(parts.authority), m_userInfo(parts.userInfo),
      m_host(parts.host), m_portText(String::fromUTF8(parts.portText)), m_port(parts.port), m_path(parts.path),
      m_query(parts.query), m_fragment(parts.fragment)
{
    const PathPieces pieces = splitPath(parts.path);
    m_fileName = Piece(std::string(pieces.fileName));
    m_extension = Piece(std::string(pieces.extension));
    m_folder = Piece(std::string(pieces.folder));
    m_text = m_relative ? m_schemeSpecificPart.escaped : m_scheme + ":" + m_schemeSpecificPart.escaped;
}

P<CURI> CURI::fromNativePath(const String& path)
{
    if (path.isEmpty())
        throw CInvalidArgError("The path is empty.", "CURI::fromNativePath");
    const SFileURIParts parts = toFileURIParts(path.toUTF8());
    const std::string uriPath = removeDotSegments(escapeUTF8(parts.path, pathReserved));
    return make<CURI>(String::fromUTF8("file://" + parts.host + uriPath));
}

String CURI::escape(const String& text, const char* reserved)
{
    return String::fromUTF8(escapeUTF8(text.toUTF8(), reserved ? reserved : ""));
}

String CURI::unescape(const String& text) { return String::fromUTF8(unescapeUTF8(text.toUTF8())); }

bool CURI::namesLocalFile(std::string& nativePath) const
{
    return equalsIgnoringAsciiCase(m_scheme.toUTF8(), "file") && m_hierarchical &&
           startsWith(m_path.escaped.toUTF8(), "/") &&
           toNativeFilePath(m_authority.escaped.toUTF8(), m_path.decoded.toUTF8(), nativePath);
}

P<IString> CURI::toString() const { return m_text; }

String CURI::getText() const { return m_text; }

String CURI::getDisplayText() const
{
    std::string nativePath;
    if (namesLocalFile(nativePath))
        return String::fromUTF8(nativePath);
    return m_relative ? m_schemeSpecificPart.decoded : m_scheme + ":" + m_schemeSpecificPart.decoded;
}

String CURI::getNativePath() const
{
    std::string nativePath;
    if (!namesLocalFile(nativePath))
        throw CURITypeNotSupportedError(this);
    // A zero would cut the path short in every system call.
    if (nativePath.find('\0') != std::string::npos)
        throw CURIFormatError(this);
    return String::fromUTF8(nativePath);
}

bool CURI::isRelative() const { return m_relative; }
bool CURI::isHierarchical() const { return m_hierarchical; }

String CURI::getScheme() const { return m_scheme; }
String CURI::getSchemeSpecificPart() const { return m_schemeSpecificPart.decoded; }
String CURI::getEscapedSchemeSpecificPart() const { return m_schemeSpecificPart.escaped; }
String CURI::getAuthority() const { return m_authority.decoded; }
String CURI::getEscapedAuthority() const { return m_authority.escaped; }
String CURI::getUserInfo() const { return m_userInfo.decoded; }
String CURI::getEscapedUserInfo() const { return m_userInfo.escaped; }
String CURI::getHost() const { return m_host.decoded; }
String CURI::getEscapedHost() const { return m_host.escaped; }
String CURI::getPortText() const { return m_portText; }
int32_t CURI::getPort() const { return m_port; }
String CURI::getPath() const { return m_path.decoded; }
String CURI::getEscapedPath() const { return m_path.escaped; }
String CURI::getFileName() const { return m_fileName.decoded; }
String CURI::getEscapedFileName() const { return m_fileName.escaped; }
String CURI::getBaseName() const { return m_fileName.decoded; }
String CURI::getEscapedBaseName() const { return m_fileName.escaped; }
String CURI::getExtension() const { return m_extension.decoded; }
String CURI::getEscapedExtension() const { return m_extension.escaped; }
String CURI::getFolder() const { return m_folder.decoded; }
String CURI::getEscapedFolder() const { return m_folder.escaped; }
String CURI::getQuery() const { return m_query.decoded; }
String CURI::getEscapedQuery() const { return m_query.escaped; }
String CURI::getFragment() const { return m_fragment.decoded; }
String CURI::getEscapedFragment() const { return m_fragment.escaped; }

bool CURI::hasScheme() const { return !m_scheme.isEmpty(); }
bool CURI::hasAuthority() const { return !m_authority.escaped.isEmpty(); }
bool CURI::hasUserInfo() const { return !m_userInfo.escaped.isEmpty(); }
bool CURI::hasHost() const { return !m_host.escaped.isEmpty(); }
bool CURI::hasPort() const { return !m_portText.isEmpty(); }
bool CURI::hasPath() const { return !m_path.escaped.isEmpty(); }
bool CURI::hasFileName() const { return !m_fileName.escaped.isEmpty(); }
bool CURI::hasExtension() const { return !m_extension.escaped.isEmpty(); }
bool CURI::hasFolder() const { return !m_folder.escaped.isEmpty(); }
bool CURI::hasQuery() const { return !m_query.escaped.isEmpty(); }
bool CURI::hasFragment() const { return !m_fragment.escaped.isEmpty(); }

} // namespace lumo
