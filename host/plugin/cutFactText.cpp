#include "host/plugin/cutFactText.h"

#include "host/plugin/CMediumFacts.h"

namespace nebo::common {

namespace {

// At most the bound's bytes, ending before a continuation byte (10xxxxxx),
// which belongs to the character before it.
std::string_view cutAtCharacter(std::string_view utf8)
{
    if (utf8.size() <= size_t{CMediumFacts::maxTextBytes})
        return utf8;
    size_t end = CMediumFacts::maxTextBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}

} // namespace

lumo::String cutFactText(std::string_view utf8)
{
    const std::string_view cut = cutAtCharacter(utf8);
    const lumo::String text = lumo::String::fromUTF8(cut);
    if (text.toUTF8() == cut)
        return text;
    // Not UTF-8: older media mostly hold Latin-1, whose characters above
    // 0x7F grow to two bytes, so the converted text is cut again.
    const std::string converted = lumo::String::fromLatin1(cut).toUTF8();
    return lumo::String::fromUTF8(cutAtCharacter(converted));
}

} // namespace nebo::common
