#pragma once

#include "media/INEBPicture.h"

namespace nebo::common {

// What a picture's pixels follow on the wire, on the pipe and in a shared
// buffer alike, after its layout's type code: its time stamp, width,
// height and row order, in this order. Read as it comes: the reader checks
// the size against its bounds before it takes memory for the pixels.
struct SPictureHeader {
    double timestamp = 0.0;
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = false;

    static SPictureHeader of(INEBPicture& picture);
    // Throws what reading the stream throws.
    static SPictureHeader read(lumo::IDataInStream& in);
    void write(lumo::IDataOutStream& out) const;
};

} // namespace nebo::common
