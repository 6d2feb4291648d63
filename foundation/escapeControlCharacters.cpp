#include "foundation/escapeControlCharacters.h"

#include <cstdint>
#include <cstdio>

namespace lumo {

namespace {

std::string hexEscape(const char* format, unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The second byte of U+0080 to U+009F after their first, 0xC2.
bool isSecondByteOfC1(uint8_t byte)
{
    return byte >= 0x80 && byte < 0xA0;
}

} // namespace

std::string escapeControlCharacters(const std::string& utf8Text, const std::string& indent)
{
    std::string safe;
    safe.reserve(utf8Text.size());
    for (size_t i = 0; i < utf8Text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8Text[i]);
        if (byte == '\n')
            safe += "\n" + indent;
        else if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
            safe += hexEscape("\\x%02X", byte);
        else if (byte == 0xC2 && i + 1 < utf8Text.size() && isSecondByteOfC1(static_cast<uint8_t>(utf8Text[i + 1])))
            safe += hexEscape("\\u{%04X}", static_cast<uint8_t>(utf8Text[++i]));
        else
            safe += static_cast<char>(byte);
    }
    return safe;
}

} // namespace lumo
