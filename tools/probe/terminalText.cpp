#include "tools/probe/terminalText.h"

#include <cstdint>
#include <cstdio>

namespace nebo::probe {

namespace {

std::string hexEscape(const char* format, unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool isContinuationByte(char byte)
{
    return (static_cast<uint8_t>(byte) & 0xC0) == 0x80;
}

} // namespace

std::string escapeForTerminal(const std::string& utf8Text, const std::string& indent)
{
    std::string safe;
    safe.reserve(utf8Text.size());
    for (size_t i = 0; i < utf8Text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8Text[i]);
        if (byte == '\n') {
            safe += "\n" + indent;
        } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            safe += hexEscape("\\x%02X", byte);
        } else if (byte == 0xC2 && i + 1 < utf8Text.size() && static_cast<uint8_t>(utf8Text[i + 1]) < 0xA0 &&
                   isContinuationByte(utf8Text[i + 1])) {
            // U+0080 to U+009F: the 8-bit controls, which some terminals obey.
            safe += hexEscape("\\u{%04X}", static_cast<uint8_t>(utf8Text[++i]));
        } else {
            safe += static_cast<char>(byte);
        }
    }
    return safe;
}

std::string cutForDisplay(const std::string& text, size_t maxBytes, size_t maxLines)
{
    size_t end = 0;
    size_t lines = 0;
    while (end < text.size() && end < maxBytes && lines < maxLines) {
        const size_t lineEnd = text.find('\n', end);
        end = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
        ++lines;
    }
    if (end > maxBytes) {
        end = maxBytes;
        while (end > 0 && isContinuationByte(text[end]))
            --end;
    }
    if (end >= text.size())
        return text;
    std::string shown = text.substr(0, end);
    if (!shown.empty() && shown.back() != '\n')
        shown += '\n';
    return shown + "[" + std::to_string(text.size() - end) + " more bytes left out; --verbose shows them]";
}

} // namespace nebo::probe
