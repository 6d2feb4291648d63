#pragma once

#include "tools/probe/SRGBImage.h"

#include <string>

namespace nebo::probe {

// Pictures side by side in one image, for a person who would rather look
// than read: a grid of about as many columns as rows, each picture scaled
// into a cell of one size with its time written under it, in the order
// added, row by row.
class CContactSheet {
public:
    static constexpr int32_t maxPictures = 100;
    static constexpr int32_t cellWidth = 320;

    // Room for `count` pictures (1 to maxPictures) that show at `display`
    // size with square pixels; the cells keep that shape, bounded to 1 to 4
    // cell widths of height. Throws lumo::CError for another count or an
    // empty size.
    CContactSheet(int32_t count, SImageSize display);

    // Puts `picture` into the next cell, scaled to fill it, with `seconds`
    // as a clock time under it. Throws lumo::CError once every cell is
    // taken, or for an empty picture.
    void add(const SRGBImage& picture, double seconds);
    int32_t getPictureCount() const { return m_added; }
    SImageSize getCellSize() const { return {cellWidth, m_cellHeight}; }
    // Cells not filled stay blank.
    const SRGBImage& getImage() const { return m_image; }

private:
    const int32_t m_count;
    const int32_t m_cellHeight;
    const int32_t m_columns;
    int32_t m_added = 0;
    SRGBImage m_image;
};

} // namespace nebo::probe
