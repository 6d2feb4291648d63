#include "plugins/avlib/pictureLayout.h"

#include "media/INEBPicture.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <optional>

namespace nebo::avlib {

namespace {

// The layout a decoder's format maps to without conversion, or none.
std::optional<SLayout> nativeLayout(AVPixelFormat format)
{
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P:
        return SLayout{common::yv12PictureType, format};
    case AV_PIX_FMT_NV12:
        return SLayout{common::nv12PictureType, format};
    case AV_PIX_FMT_YUYV422:
        return SLayout{common::yuy2PictureType, format};
    case AV_PIX_FMT_BGRA:
        return SLayout{common::rgbPictureType, format};
    default:
        return std::nullopt;
    }
}

bool isYUV420Family(AVPixelFormat format)
{
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    const uint64_t notYUV = AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BAYER;
    return descriptor && !(descriptor->flags & notYUV) && descriptor->nb_components >= 3 &&
           descriptor->log2_chroma_w == 1 && descriptor->log2_chroma_h == 1;
}

const SLayout yv12Layout{common::yv12PictureType, AV_PIX_FMT_YUV420P};
const SLayout rgbLayout{common::rgbPictureType, AV_PIX_FMT_BGRA};

} // namespace

SLayout chooseLayout(AVPixelFormat format, const SPictureSize& size)
{
    // Our YUV layouts keep one chroma sample per two pixels (per two rows
    // for 4:2:0) and have no room for the last column or row of an odd
    // size, so such pictures go to RGB.
    if (size.width % 2 != 0 || size.height % 2 != 0)
        return rgbLayout;
    if (const std::optional<SLayout> native = nativeLayout(format))
        return *native;
    return isYUV420Family(format) ? yv12Layout : rgbLayout;
}

std::vector<SPlaneSpot> planesOf(int32_t type, const SPictureSize& size)
{
    const int32_t width = size.width;
    const int32_t height = size.height;
    const int64_t lumaSize = int64_t(width) * height;
    switch (type) {
    case common::yv12PictureType: {
        const int64_t chromaSize = int64_t(width / 2) * (height / 2);
        return {{0, width, height}, {lumaSize + chromaSize, width / 2, height / 2}, {lumaSize, width / 2, height / 2}};
    }
    case common::nv12PictureType:
        return {{0, width, height}, {lumaSize, width, height / 2}};
    case common::yuy2PictureType:
        return {{0, width * 2, height}};
    default:
        return {{0, width * 4, height}};
    }
}

int64_t blockSizeOf(const std::vector<SPlaneSpot>& planes)
{
    int64_t size = 0;
    for (const SPlaneSpot& plane : planes)
        size = std::max(size, plane.offset + int64_t(plane.pitch) * plane.rows);
    return size;
}

} // namespace nebo::avlib
