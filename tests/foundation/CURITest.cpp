#include "foundation/CURI.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

std::string u8(const String& text) { return text.toUTF8(); }

P<CURI> parse(const std::string& text) { return make<CURI>(String::fromUTF8(text)); }

// The escaped components that a test names, in one line.
std::string describe(const IURI& uri)
{
    return u8(uri.getScheme()) + "|" + (uri.isRelative() ? "rel" : "abs") + "|" +
           (uri.isHierarchical() ? "hier" : "opaque") + "|" + u8(uri.getEscapedUserInfo()) + "|" +
           u8(uri.getEscapedHost()) + "|" + u8(uri.getPortText()) + "|" + std::to_string(uri.getPort()) + "|" +
           u8(uri.getEscapedPath()) + "|" + u8(uri.getEscapedFileName()) + "|" + u8(uri.getEscapedExtension()) + "|" +
           u8(uri.getEscapedFolder()) + "|" + u8(uri.getEscapedQuery()) + "|" + u8(uri.getEscapedFragment());
}

TEST(CURITest, SplitsTextIntoComponents)
{
    const struct {
        const char *text, *components;
    } cases[] = {
        {"file:///C:/media/clip.avi", "file|abs|hier||||-1|/C:/media/clip.avi|clip.avi|.avi|/C:/media/||"},
        {"mailto:a@b?c#d", "mailto|abs|opaque||||-1|a@b?c#d|a@b?c#d||||"},
        {"//[::1]:81", "|rel|hier||[::1]|81|81||||||"},
        {"//host:/a", "|rel|hier||host||-1|/a|a||/||"},
        {"http://us:pw@h.org:80/d/f.tar.gz?x=1&y=2#top",
         "http|abs|hier|us:pw|h.org|80|80|/d/f.tar.gz|f.tar.gz|.gz|/d/|x=1&y=2|top"},
        {"/a/b/", "|rel|hier||||-1|/a/b/|b||/a/||"},
        {"a/", "|rel|hier||||-1|a/|||||"},
        {"#f?g", "|rel|hier||||-1||||||f?g"},
        {"x/y:z", "|rel|hier||||-1|x/y:z|y:z||x/||"},
        {"", "|rel|hier||||-1||||||"},
    };
    for (const auto& c : cases) {
        P<CURI> uri = parse(c.text);
        EXPECT_EQ(describe(*uri), c.components) << c.text;
        EXPECT_EQ(u8(uri->getText()), c.text);
    }
}

TEST(CURITest, DecodesEveryComponent)
{
    P<CURI> uri = parse("s://a%20b@h%41:1/d%2Fe/f%20g.t%78t?q%3D1#%23");
    EXPECT_EQ(u8(uri->getUserInfo()), "a b");
    EXPECT_EQ(u8(uri->getHost()), "hA");
    EXPECT_EQ(u8(uri->getPath()), "/d/e/f g.txt");
    EXPECT_EQ(u8(uri->getFolder()), "/d/e/");
    EXPECT_EQ(u8(uri->getFileName()), "f g.txt");
    EXPECT_EQ(u8(uri->getExtension()), ".txt");
    EXPECT_EQ(u8(uri->getQuery()), "q=1");
    EXPECT_EQ(u8(uri->getFragment()), "#");
}

TEST(CURITest, RemovesDotSegmentsFromThePathButNotFromTheText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/./b", "/a/b"},         {"/a/b/..", "/a/"},    {"/../a", "/../a"},
        {"a/../../b", "../b"},      {"a/..", ""},          {"../.", "../"},
        {"/a//../b", "/a/b"},       {"/a/%2E%2e/b", "/b"}, {"/a/.../b", "/a/.../b"},
        {"/a/..b/.c", "/a/..b/.c"}, {"../..", "../.."},
    };
    for (const auto& [text, path] : cases) {
        P<CURI> uri = parse(text);
        EXPECT_EQ(u8(uri->getEscapedPath()), path) << text;
        EXPECT_EQ(u8(uri->getText()), text);
    }
}

TEST(CURITest, ResolvesReferencesAgainstABase)
{
    const struct {
        const char *base, *reference, *result;
    } cases[] = {
        {"file:///x/y/z.txt", "../b/c.txt", "file:///x/b/c.txt"},
        {"file:///x/y/z.txt", "/abs", "file:///abs"},
        {"file:///x/y/z.txt", "//h/p", "file://h/p"},
        {"file:///x/y/z.txt", "", "file:///x/y/"},
        {"file:///x/y/z.txt", "?q#f", "file:///x/y/?q#f"},
        {"file:///x/y/z.txt", "../../../a", "file:///../a"},
        {"file:///x/y/z.txt", "http://o/p", "http://o/p"},
        {"http://u@h:8/a?old#old", "b", "http://u@h:8/b"},
        {"a/b", "c", "a/c"},
    };
    for (const auto& c : cases) {
        P<CURI> base = parse(c.base), resolved = make<CURI>(String(c.reference), base.get());
        EXPECT_EQ(u8(resolved->getText()), c.result) << c.base << " + " << c.reference;
        EXPECT_EQ(describe(*resolved), describe(*parse(c.result))) << c.result;
    }
}

TEST(CURITest, RefusesReferencesThatCannotBeResolved)
{
    EXPECT_THROW(make<CURI>(String("y"), parse("winresicon:x").get()), CURIFormatError);
    // "c:d" would read back with the scheme "c".
    EXPECT_THROW(make<CURI>(String("./c:d"), parse("b").get()), CURIFormatError);
    EXPECT_THROW(make<CURI>(String("y"), nullptr), CInvalidArgError);
}

TEST(CURITest, BuildsFromDecodedComponents)
{
    const struct {
        String scheme, path, host, port, userInfo, query, fragment, text;
    } cases[] = {
        {"file", "a b", "h", "", "", "", "", "file://h/a%20b"},
        {"http", "/x?y#z%", "h", "8080", "us er@x", "q#r/?", "f#g",
         "http://us%20er%40x@h:8080/x%3Fy%23z%25?q%23r/?#f%23g"},
        {"", "a/./b/../c", "", "", "", "", "", "a/c"},
        {"mailto", "a@b", "", "", "", "", "", "mailto:a@b"},
        {"s", "/p", "[::1]", "", "", "", "", "s://[::1]/p"},
    };
    for (const auto& c : cases) {
        P<CURI> uri = make<CURI>(c.scheme, c.path, c.host, c.port, c.userInfo, c.query, c.fragment);
        EXPECT_EQ(u8(uri->getText()), u8(c.text));
        EXPECT_EQ(describe(*uri), describe(*parse(u8(c.text)))) << u8(c.text);
    }
}

TEST(CURITest, RefusesComponentsThatWouldReadBackDifferently)
{
    const struct {
        String scheme, path, host, query;
    } cases[] = {
        {"s", "/p", "a/b", ""}, {"s", "/p", "a:1", ""}, {"s", "/p", "a@b", ""}, {"s", "//p", "", ""},
        {"", "a:b", "", ""},    {"s", "p", "", "q"},    {"1x", "/p", "", ""},   {"s", "/p", "a%41b", ""},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(make<CURI>(c.scheme, c.path, c.host, String(), String(), c.query, String()), CURIFormatError)
            << c.scheme.toUTF8() << " " << c.path.toUTF8() << " " << c.host.toUTF8();
    }
}

TEST(CURITest, BadPortsAreParseErrorsAndSchemesMustFollowTheSyntax)
{
    for (const char* text : {"//h:8x/a", "http://h:-1/"})
        EXPECT_THROW(parse(text), CParseError) << text;
    EXPECT_THROW(make<CURI>(String("s"), String("/"), String("h"), String("-1"), String(), String(), String()),
                 CParseError);
    for (const char* text : {":x", "1a:b", "a_b:c", "\xC3\xA4:x"})
        EXPECT_THROW(parse(text), CURIFormatError) << text;
    EXPECT_EQ(u8(parse("a+b-c.d:x")->getScheme()), "a+b-c.d");
}

TEST(CURITest, EscapesWithUpperCaseDigitsAndDecodesAnyCase)
{
    EXPECT_EQ(u8(CURI::escape(String::fromUTF8("a b%/?#\xC3\xA9-_.!~*'()"))), "a%20b%25%2F%3F%23\xC3\xA9-_.!~*'()");
    EXPECT_EQ(u8(CURI::escape(String("a/b;c?"), CURI::pathReserved)), "a/b;c%3F");
    EXPECT_EQ(u8(CURI::escape(String::fromUTF8(std::string("\0\x7F", 2)))), "%00%7F");

    const std::pair<const char*, const char*> decoded[] = {
        {"%41%62", "Ab"},
        {"%C3%A9", "\xC3\xA9"},
        {"%E9", "\xC3\xA9"},                       // not UTF-8: the character with that code
        {"%E2%82", "\xC3\xA2\xC2\x82"},            // cut short
        {"%ED%A0%80", "\xC3\xAD\xC2\xA0\xC2\x80"}, // a surrogate is no character
        {"%zz%4g", "%zz%4g"},
        {"100%", "100%"},
        {"%%41", "%A"},
    };
    for (const auto& [text, result] : decoded)
        EXPECT_EQ(u8(CURI::unescape(String(text))), result) << text;
}

TEST(CURITest, EscapingRoundTrips)
{
    std::string ascii;
    for (int c = 0; c < 0x80; ++c)
        ascii += static_cast<char>(c);
    const std::string neverLeftAsTheyAre = ascii.substr(0, 0x21) + "\"<>\\^`{|}#\x7F";
    for (const std::string& text : {ascii, std::string("a b/c?d#e%f\xC3\xA4\xE2\x82\xAC"), std::string("%41")}) {
        for (const char* reserved : {"", CURI::userInfoReserved, CURI::pathReserved, CURI::queryReserved}) {
            const String escaped = CURI::escape(String::fromUTF8(text), reserved);
            EXPECT_EQ(u8(CURI::unescape(escaped)), text);
            EXPECT_EQ(u8(escaped).find_first_of(neverLeftAsTheyAre), std::string::npos) << u8(escaped);
        }
    }
}

TEST(CURITest, OnlyLocalFileURIsHaveNativePaths)
{
    for (const char* text : {"http://host/x", "file:relative", "/x"}) {
        EXPECT_THROW(parse(text)->getNativePath(), CURITypeNotSupportedError) << text;
        EXPECT_EQ(u8(parse(text)->getDisplayText()), u8(CURI::unescape(String(text)))) << text;
    }
    EXPECT_THROW(parse("file:///a%00b")->getNativePath(), CURIFormatError);
    EXPECT_EQ(u8(parse("http://h/a%20b?x%3Dy")->getDisplayText()), "http://h/a b?x=y");
}

// 200,000 segments: a parse slower than linear would crawl here.
TEST(CURITest, LongPathsParse)
{
    std::string deep = "file://";
    for (int i = 0; i < 100000; ++i)
        deep += "/a";
    for (int i = 0; i < 100000; ++i)
        deep += "/..";
    EXPECT_EQ(u8(parse(deep)->getPath()), "/");
}

} // namespace
} // namespace lumo
