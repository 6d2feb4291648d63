#include "tools/probe/cutForDisplay.h"

#include <cstdint>

namespace nebo::probe {

namespace {

bool isContinuationByte(char byte) { return (static_cast<uint8_t>(byte) & 0xC0) == 0x80; }

} // namespace

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
