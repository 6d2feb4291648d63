#include "plugins/avlib/CPictureMaker.h"

#include "media/CNV12Picture.h"
#include "media/CRGBPicture.h"
#include "media/CYUY2Picture.h"
#include "media/CYV12Picture.h"
#include "plugins/avlib/CFrameBlock.h"
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

// Whether the frame's memory already is a picture's block: every plane at
// the layout's offset and pitch, and the whole block inside the frame's
// first buffer.
bool isLaidOutAs(const AVFrame& frame, const std::vector<SPlaneSpot>& planes, int64_t blockSize)
{
    const AVBufferRef* buffer = frame.buf[0];
    if (!buffer || !frame.data[0])
        return false;
    const auto start = reinterpret_cast<uintptr_t>(frame.data[0]);
    const auto bufferStart = reinterpret_cast<uintptr_t>(buffer->data);
    if (start < bufferStart || start - bufferStart > buffer->size ||
        buffer->size - (start - bufferStart) < static_cast<uint64_t>(blockSize))
        return false;
    for (size_t index = 0; index < planes.size(); ++index)
        if (frame.data[index] != frame.data[0] + planes[index].offset || frame.linesize[index] != planes[index].pitch)
            return false;
    return true;
}

// A frame's memory that already is a picture's block.
struct SBlockInPlace {
    int32_t planeRows;
    int64_t size;
};

// The block the frame's memory already is, its planes with or without room
// between them for the decoder's rows; none when it is not laid out as one.
// `compact` are the planes of the picture without that room.
std::optional<SBlockInPlace> blockInPlaceOf(const AVFrame& frame, int32_t type, const std::vector<SPlaneSpot>& compact,
                                            const SPictureSize& size)
{
    int32_t rows = size.height;
    if (compact.size() > 1 && frame.data[0] && frame.linesize[0] > 0) {
        // The first plane's bytes end where the next plane in the block starts.
        auto lumaBytes = std::numeric_limits<uintptr_t>::max();
        for (size_t index = 1; index < compact.size(); ++index)
            lumaBytes = std::min(lumaBytes, reinterpret_cast<uintptr_t>(frame.data[index]) -
                                                reinterpret_cast<uintptr_t>(frame.data[0]));
        const auto pitch = static_cast<uintptr_t>(frame.linesize[0]);
        const uintptr_t maxRows = uintptr_t(size.height) + common::CPictureBase::maxExtraPlaneRows;
        // Half as many chroma rows: the spaced rows must be even.
        if (lumaBytes % pitch != 0 || lumaBytes / pitch > maxRows || (lumaBytes / pitch) % 2 != 0)
            return std::nullopt;
        rows = static_cast<int32_t>(lumaBytes / pitch);
    }
    if (rows < size.height)
        return std::nullopt;
    const std::vector<SPlaneSpot> planes = rows == size.height ? compact : planesOf(type, {size.width, rows});
    const int64_t blockSize = blockSizeOf(planes);
    if (blockSize > std::numeric_limits<int32_t>::max() || !isLaidOutAs(frame, planes, blockSize))
        return std::nullopt;
    return SBlockInPlace{rows, blockSize};
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
                            P<lumo::IMemoryBlock> block, const SPictureSize& size, int32_t planeRows)
{
    switch (type) {
    case common::yv12PictureType:
        return lumo::make<common::CYV12Picture>(memory, timestamp, std::move(block), size.width, size.height, false,
                                                planeRows);
    case common::nv12PictureType:
        return lumo::make<common::CNV12Picture>(memory, timestamp, std::move(block), size.width, size.height, false,
                                                planeRows);
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
    const std::vector<SPlaneSpot> planes = planesOf(layout.type, size);
    const int64_t blockSize = blockSizeOf(planes);
    if (size.width <= 0 || size.height <= 0 || blockSize > std::numeric_limits<int32_t>::max())
        throwMediaError(uri, "a picture of this size cannot be handed out");

    const bool bAsItIs = layout.format == format && size.width == frame.width && size.height == frame.height;
    if (const std::optional<SBlockInPlace> inPlace =
            bAsItIs ? blockInPlaceOf(frame, layout.type, planes, size) : std::nullopt) {
        P<lumo::IMemoryBlock> shared =
            lumo::make<CFrameBlock>(*frame.buf[0], frame.data[0], static_cast<int32_t>(inPlace->size));
        return wrap(layout.type, m_memory, timestamp, std::move(shared), size, inPlace->planeRows);
    }
    P<lumo::IMemoryBlock> block = m_memory->allocateShareable(static_cast<int32_t>(blockSize));
    block->setSize(static_cast<int32_t>(blockSize));
    if (bAsItIs)
        copyPlanes(frame, planes, block->getData());
    else
        convert(frame, size, layout, planes, *block, uri);
    return wrap(layout.type, m_memory, timestamp, std::move(block), size, size.height);
}

void CPictureMaker::convert(const AVFrame& frame, const SPictureSize& size, const SLayout& layout,
                            const std::vector<SPlaneSpot>& planes, lumo::IMemoryBlock& block, const lumo::IURI& uri)
{
    const auto format = static_cast<AVPixelFormat>(frame.format);
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height, format, size.width, size.height,
                                        layout.format, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_scaler) {
        const char* name = av_get_pix_fmt_name(format);
        throwMediaError(uri, std::string("cannot convert pictures from ") + (name ? name : "an unknown format"));
    }
    uint8_t* dest[4] = {};
    int destPitch[4] = {};
    for (size_t index = 0; index < planes.size(); ++index) {
        dest[index] = block.getData() + planes[index].offset;
        destPitch[index] = planes[index].pitch;
    }
    sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, dest, destPitch);
}

} // namespace nebo::avlib
