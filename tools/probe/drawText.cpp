#include "tools/probe/drawText.h"

#include <array>

namespace nebo::probe {

namespace {

constexpr int32_t glyphWidth = 5;
constexpr int32_t glyphHeight = 7;
// A blank column between glyphs.
constexpr int32_t advance = glyphWidth + 1;

using Glyph = std::array<uint8_t, glyphHeight>;

// Each row's dots from left to right as bits 4 to 0.
constexpr std::array<Glyph, 10> digitGlyphs = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
}};
constexpr Glyph colonGlyph = {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00};
constexpr Glyph pointGlyph = {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C};
constexpr Glyph blankGlyph = {};

const Glyph& glyphOf(char c)
{
    if (c >= '0' && c <= '9')
        return digitGlyphs[size_t(c - '0')];
    if (c == ':')
        return colonGlyph;
    return c == '.' ? pointGlyph : blankGlyph;
}

void fillDot(SRGBImage& image, int32_t left, int32_t top, int32_t scale, uint32_t colour)
{
    for (int32_t y = top; y < top + scale; ++y)
        for (int32_t x = left; x < left + scale; ++x) {
            if (x < 0 || y < 0 || x >= image.width || y >= image.height)
                continue;
            uint8_t* pixel = image.pixel(x, y);
            pixel[0] = uint8_t(colour >> 16);
            pixel[1] = uint8_t(colour >> 8);
            pixel[2] = uint8_t(colour);
        }
}

} // namespace

int32_t measureText(const std::string& text, int32_t scale)
{
    return text.empty() ? 0 : (int32_t(text.size()) * advance - 1) * scale;
}

void drawText(SRGBImage& image, int32_t x, int32_t y, const std::string& text, int32_t scale, uint32_t colour)
{
    for (size_t index = 0; index < text.size(); ++index) {
        const Glyph& glyph = glyphOf(text[index]);
        const int32_t left = x + int32_t(index) * advance * scale;
        for (int32_t row = 0; row < glyphHeight; ++row)
            for (int32_t column = 0; column < glyphWidth; ++column)
                if (glyph[size_t(row)] >> (glyphWidth - 1 - column) & 1)
                    fillDot(image, left + column * scale, y + row * scale, scale, colour);
    }
}

} // namespace nebo::probe
