#include "platform/posix/CPathes.h"

#include "foundation/CURIFormatError.h"

#include <cstdlib>
#include <string>
#include <strings.h>

namespace lumo::posix {

namespace {

bool equalsIgnoringCase(const String& text, const char* word) { return strcasecmp(text.toUTF8().c_str(), word) == 0; }

String checkedPath(const IURI& uri, const String& path)
{
    if (path->indexOfChar(0) >= 0)
        throw CURIFormatError(&uri);
    return path;
}

// The value of an environment variable, or null when it is not set or the
// name could not be one.
const char* environmentValueOf(const std::string& name)
{
    if (name.empty() || name.find_first_of(std::string("=\0", 2)) != std::string::npos)
        return nullptr;
    return std::getenv(name.c_str());
}

} // namespace

String CPathes::getNativePath(const IURI& uri, bool bOtherSchemesAsText)
{
    if (uri.getText().isEmpty())
        return String();
    if (uri.isRelative())
        return checkedPath(uri, uri.getPath());
    if (!equalsIgnoringCase(uri.getScheme(), "file"))
        return bOtherSchemesAsText ? uri.getText() : String();
    const String host = uri.getHost();
    if (host.isEmpty() || equalsIgnoringCase(host, "localhost"))
        return checkedPath(uri, uri.getPath());
    return checkedPath(uri, "//" + host + uri.getPath());
}

P<CURI> CPathes::getURIOfNativePath(const String& path) { return CURI::fromNativePath(path); }

String CPathes::expandEnvironmentStrings(const String& text)
{
    const std::string source = text.toUTF8();
    std::string expanded;
    size_t position = 0;
    for (;;) {
        const size_t open = source.find('%', position);
        const size_t close = open == std::string::npos ? open : source.find('%', open + 1);
        if (close == std::string::npos)
            break;
        const char* value = environmentValueOf(source.substr(open + 1, close - open - 1));
        if (value) {
            expanded.append(source, position, open - position).append(value);
            position = close + 1;
        } else {
            expanded.append(source, position, close - position);
            position = close;
        }
    }
    return String::fromUTF8(expanded.append(source, position, std::string::npos));
}

String CPathes::unexpandEnvironmentStrings(const String& text)
{
    const char* configured = std::getenv("HOME");
    std::string home = configured ? configured : "";
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    if (home.size() < 2 || home.front() != '/')
        return text;
    const std::string source = text.toUTF8();
    const bool startsWithHome = source.compare(0, home.size(), home) == 0;
    if (!startsWithHome || (source.size() > home.size() && source[home.size()] != '/'))
        return text;
    return String::fromUTF8("%HOME%" + source.substr(home.size()));
}

} // namespace lumo::posix

namespace lumo {

P<IPathes> createPathes() { return make<posix::CPathes>(); }

} // namespace lumo
