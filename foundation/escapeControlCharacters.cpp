#include "foundation/escapeControlCharacters.h"

#include "foundation/CUTF8CharEncoding.h"

#include <algorithm>
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

bool isC1Control(uint32_t codePoint) { return codePoint >= 0x80 && codePoint < 0xA0; }

bool isSurrogate(uint32_t codePoint) { return codePoint >= 0xD800 && codePoint < 0xE000; }

// The byte count of the well-formed UTF-8 character at `at` (a lead byte
// from 0x80 up), with its code point; 0 when the bytes there are not one.
size_t decodeMultiByte(const std::string& text, size_t at, uint32_t& codePoint)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data() + at);
    const auto available = static_cast<int32_t>(std::min<size_t>(text.size() - at, 4));
    const int32_t end = CUTF8CharEncoding::decodeChar(codePoint, bytes, available, 0);
    // Encoded surrogates are no characters in UTF-8, whatever a lenient decoder makes of them.
    return end <= 0 || isSurrogate(codePoint) ? 0 : static_cast<size_t>(end);
}

} // namespace

std::string escapeControlCharacters(const std::string& utf8Text, const std::string& indent)
{
    std::string safe;
    safe.reserve(utf8Text.size());
    for (size_t i = 0; i < utf8Text.size();) {
        const auto byte = static_cast<uint8_t>(utf8Text[i]);
        if (byte < 0x80) {
            if (byte == '\n')
                safe += "\n" + indent;
            else if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
                safe += hexEscape("\\x%02X", byte);
            else
                safe += static_cast<char>(byte);
            ++i;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = decodeMultiByte(utf8Text, i, codePoint);
        if (length == 0)
            safe += hexEscape("\\x%02X", byte);
        else if (isC1Control(codePoint))
            safe += hexEscape("\\u{%04X}", codePoint);
        else
            safe.append(utf8Text, i, length);
        i += std::max<size_t>(length, 1);
    }
    return safe;
}

} // namespace lumo
