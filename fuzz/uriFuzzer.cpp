// Parses arbitrary text as a URI. Whatever parses is queried in full,
// resolved against fixed bases and rebuilt from its components; a URI built
// any of these ways must read back as what was built. Only the library's own
// errors may end an attempt.

#include "foundation/CException.h"
#include "foundation/CURI.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

using namespace lumo;

std::vector<String> componentsOf(const IURI& uri)
{
    return {uri.getText(),
            uri.getScheme(),
            uri.getSchemeSpecificPart(),
            uri.getEscapedSchemeSpecificPart(),
            uri.getAuthority(),
            uri.getEscapedAuthority(),
            uri.getUserInfo(),
            uri.getEscapedUserInfo(),
            uri.getHost(),
            uri.getEscapedHost(),
            uri.getPortText(),
            String::fromInt(uri.getPort()),
            uri.getPath(),
            uri.getEscapedPath(),
            uri.getFileName(),
            uri.getEscapedFileName(),
            uri.getBaseName(),
            uri.getEscapedBaseName(),
            uri.getExtension(),
            uri.getEscapedExtension(),
            uri.getFolder(),
            uri.getEscapedFolder(),
            uri.getQuery(),
            uri.getEscapedQuery(),
            uri.getFragment(),
            uri.getEscapedFragment()};
}

unsigned flagsOf(const IURI& uri)
{
    const bool flags[] = {uri.isRelative(),  uri.isHierarchical(), uri.hasScheme(), uri.hasAuthority(),
                          uri.hasUserInfo(), uri.hasHost(),        uri.hasPort(),   uri.hasPath(),
                          uri.hasFileName(), uri.hasExtension(),   uri.hasFolder(), uri.hasQuery(),
                          uri.hasFragment()};
    unsigned bits = 0;
    for (bool flag : flags)
        bits = bits << 1 | (flag ? 1u : 0u);
    return bits;
}

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The URI's text parses back to the same URI.
void checkReadsBack(const IURI& uri)
{
    P<CURI> reparsed = make<CURI>(uri.getText());
    check(componentsOf(*reparsed) == componentsOf(uri));
    check(flagsOf(*reparsed) == flagsOf(uri));
}

void exercise(const IURI& uri)
{
    check(String(uri.toString()) == uri.getText());
    componentsOf(uri);
    uri.getDisplayText();
    try {
        uri.getNativePath();
    } catch (const CException&) {
    }
}

void resolve(const String& reference, const char* baseText)
{
    P<CURI> base = make<CURI>(String::fromUTF8(baseText));
    try {
        P<CURI> resolved = make<CURI>(reference, base.get());
        exercise(*resolved);
        check(!resolved->isRelative());
        checkReadsBack(*resolved);
    } catch (const CException&) {
    }
}

void rebuild(const IURI& uri)
{
    try {
        P<CURI> built = make<CURI>(uri.getScheme(), uri.getPath(), uri.getHost(), uri.getPortText(), uri.getUserInfo(),
                                   uri.getQuery(), uri.getFragment());
        exercise(*built);
        checkReadsBack(*built);
        check(built->getScheme() == uri.getScheme() && built->getHost() == uri.getHost() &&
              built->getPortText() == uri.getPortText() && built->getUserInfo() == uri.getUserInfo() &&
              built->getQuery() == uri.getQuery() && built->getFragment() == uri.getFragment());
    } catch (const CException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const String text = String::fromUTF8(std::string_view(reinterpret_cast<const char*>(data), size));
    check(CURI::unescape(CURI::escape(text)) == text);
    P<CURI> uri;
    try {
        uri = make<CURI>(text);
    } catch (const CException&) {
        return 0;
    }
    exercise(*uri);
    resolve(text, "file:///media/clips/a/b.avi?x#y");
    resolve(text, "http://user@host:8080/a/b/c/../d?q");
    rebuild(*uri);
    return 0;
}
