#include "plugins/avlib/CPictureMaker.h"

#include "media/CNV12Picture.h"
#include "media/CRGBPicture.h"
#include "media/CYUY2Picture.h"
#include "media/CYV12Picture.h"
#include "plugins/avlib/throwAvError.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace nebo::avlib {

using lumo::P;

namespace {

// Where the library's plane number i of a layout lies in a picture's block.
struct SPlaneSpot {
    int64_t offset;
    int32_t pitch;
    int32_t rows;
};

struct SLayout {
    int32_t type;
    AVPixelFormat format;
};

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
    const uint64_t notYUV = AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL |
                            AV_PIX_FMT_FLAG_BAYER;
    return descriptor && !(descriptor->flags & notYUV) && descriptor->nb_components >= 3 &&
           descriptor->log2_chroma_w == 1 && descriptor->log2_chroma_h == 1;
}

const SLayout yv12Layout{common::yv12PictureType, AV_PIX_FMT_YUV420P};
const SLayout rgbLayout{common::rgbPictureType, AV_PIX_FMT_BGRA};

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

// The planes in the library's order (YV12 keeps V before U in the block).
std::vector<SPlaneSpot> planesOf(int32_t type, int32_t width, int32_t height)
{
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

void copyPlanes(const AVFrame& frame, const std::vector<SPlaneSpot>& planes, uint8_t* block)
{
    for (size_t index = 0; index < planes.size(); ++index) {
        const SPlaneSpot& plane = planes[index];
        // Line sizes may be padded, and negative for rows stored bottom-up.
        const uint8_t* row = frame.data[index];
        uint8_t* dest = block + plane.offset;
        for (int32_t y = 0; y < plane.rows; ++y, row += frame.linesize[index], dest += plane.pitch)
            std::memcpy(dest, row, static_cast<size_t>(plane.pitch));
    }
}

P<common::INEBPicture> wrap(int32_t type, const P<lumo::IMemoryManager>& memory, double timestamp,
                            P<lumo::IMemoryBlock> block, const SPictureSize& size)
{
    switch (type) {
    case common::yv12PictureType:
        return lumo::make<common::CYV12Picture>(memory, timestamp, std::move(block), size.width, size.height, false);
    case common::nv12PictureType:
        return lumo::make<common::CNV12Picture>(memory, timestamp, std::move(block), size.width, size.height, false);
    case common::yuy2PictureType:
        return lumo::make<common::CYUY2Picture>(memory, timestamp, std::move(block), size.width, size.height, false);
    default:
        return lumo::make<common::CRGBPicture>(memory, timestamp, std::move(block), size.width, size.height, false);
    }
}

// Keeps the side that limits the picture and scales the other in whole
// numbers, so exact ratios stay exact.
SPictureSize fitInto(int32_t width, int32_t height, const SPictureSize& limit)
{
    SPictureSize fitted;
    if (int64_t(limit.width) * height <= int64_t(limit.height) * width) {
        fitted.width = limit.width;
        fitted.height = static_cast<int32_t>(int64_t(height) * limit.width / width);
    } else {
        fitted.height = limit.height;
        fitted.width = static_cast<int32_t>(int64_t(width) * limit.height / height);
    }
    fitted.width = std::max(2, fitted.width & ~1);
    fitted.height = std::max(2, fitted.height & ~1);
    return fitted;
}

} // namespace

CPictureMaker::CPictureMaker(P<lumo::IMemoryManager> memory) : m_memory(std::move(memory)) {}

void CPictureMaker::setMaxSize(int32_t width, int32_t height)
{
    m_maxSize = width > 0 && height > 0 ? SPictureSize{width, height} : SPictureSize{};
}

SPictureSize CPictureMaker::getPictureSize(int32_t width, int32_t height) const
{
    const bool bLimited = m_maxSize.width > 0 && width > 0 && height > 0;
    if (!bLimited || (width <= m_maxSize.width && height <= m_maxSize.height))
        return {width, height};
    return fitInto(width, height, m_maxSize);
}

P<common::INEBPicture> CPictureMaker::makePicture(const AVFrame& frame, double timestamp, const lumo::IURI& uri)
{
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const SPictureSize size = getPictureSize(frame.width, frame.height);
    const SLayout layout = chooseLayout(format, size);
    const std::vector<SPlaneSpot> planes = planesOf(layout.type, size.width, size.height);
    const int64_t blockSize = blockSizeOf(planes);
    if (size.width <= 0 || size.height <= 0 || blockSize > std::numeric_limits<int32_t>::max())
        throwMediaError(uri, "a picture of this size cannot be handed out");

    P<lumo::IMemoryBlock> block = m_memory->allocate(static_cast<int32_t>(blockSize));
    block->setSize(static_cast<int32_t>(blockSize));
    const bool bScaled = size.width != frame.width || size.height != frame.height;
    if (!bScaled && layout.format == format) {
        copyPlanes(frame, planes, block->getData());
    } else {
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height, format, size.width,
                                            size.height, layout.format, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!m_scaler) {
            const char* name = av_get_pix_fmt_name(format);
            throwMediaError(uri, std::string("cannot convert pictures from ") + (name ? name : "an unknown format"));
        }
        uint8_t* dest[4] = {};
        int destPitch[4] = {};
        for (size_t index = 0; index < planes.size(); ++index) {
            dest[index] = block->getData() + planes[index].offset;
            destPitch[index] = planes[index].pitch;
        }
        sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, dest, destPitch);
    }
    return wrap(layout.type, m_memory, timestamp, std::move(block), size);
}

} // namespace nebo::avlib
