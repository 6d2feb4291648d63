#include "tools/probe/CContactSheet.h"

#include "foundation/CError.h"
#include "tools/probe/drawText.h"
#include "tools/probe/formatNumber.h"
#include "tools/probe/scaleRGBImage.h"

#include <algorithm>
#include <cmath>

namespace nebo::probe {

namespace {

constexpr int32_t gap = 8;
constexpr int32_t fontScale = 2;
constexpr int32_t labelHeight = 7 * fontScale + 2 * gap;
constexpr uint32_t background = 0x202020;
constexpr uint32_t textColour = 0xFFFFFF;

[[noreturn]] void refuse(const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("cannot make the sheet: " + reason));
}

int32_t checkedCount(int32_t count)
{
    if (count < 1 || count > CContactSheet::maxPictures)
        refuse("it holds 1 to " + std::to_string(CContactSheet::maxPictures) + " pictures, not " +
               std::to_string(count));
    return count;
}

int32_t cellHeightFor(SImageSize display)
{
    if (display.width <= 0 || display.height <= 0)
        refuse("the pictures have no size");
    const double height = std::round(double(CContactSheet::cellWidth) * display.height / display.width);
    return static_cast<int32_t>(std::clamp(height, 1.0, 4.0 * CContactSheet::cellWidth));
}

// About as many columns as rows.
int32_t columnsFor(int32_t count) { return static_cast<int32_t>(std::ceil(std::sqrt(double(count)))); }

} // namespace

CContactSheet::CContactSheet(int32_t count, SImageSize display)
    : m_count(checkedCount(count)), m_cellHeight(cellHeightFor(display)), m_columns(columnsFor(count))
{
    const int32_t rows = (m_count + m_columns - 1) / m_columns;
    m_image =
        SRGBImage::filled(m_columns * (cellWidth + gap) + gap, rows * (m_cellHeight + labelHeight) + gap, background);
}

void CContactSheet::add(const SRGBImage& picture, double seconds)
{
    if (m_added == m_count)
        refuse("every one of its " + std::to_string(m_count) + " cells is taken");
    const SRGBImage cell = scaleRGBImage(picture, getCellSize());
    const int32_t left = gap + m_added % m_columns * (cellWidth + gap);
    const int32_t top = gap + m_added / m_columns * (m_cellHeight + labelHeight);
    for (int32_t y = 0; y < m_cellHeight; ++y)
        std::copy_n(cell.pixel(0, y), size_t(cellWidth) * SRGBImage::pixelBytes, m_image.pixel(left, top + y));
    const std::string time = formatClockTime(seconds);
    drawText(m_image, left + (cellWidth - measureText(time, fontScale)) / 2, top + m_cellHeight + gap, time, fontScale,
             textColour);
    ++m_added;
}

} // namespace nebo::probe
