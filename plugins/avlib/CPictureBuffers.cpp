#include "plugins/avlib/CPictureBuffers.h"

#include "media/CPictureBase.h"
#include "plugins/avlib/pictureLayout.h"

extern "C" {
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <limits>
#include <new>
#include <optional>

namespace nebo::avlib {

namespace {

// Vector loops of decoders may read a little past the last row; the
// library's own buffers keep that much to spare too.
constexpr int64_t tailSlack = 64;

bool overlap(int64_t start, int64_t length, int64_t otherStart, int64_t otherLength)
{
    return start < otherStart + otherLength && otherStart < start + length;
}

// The size the decoder writes a frame at, and the alignment it wants of
// each plane's pitch.
struct SDecoderArea {
    int width = 0;
    int height = 0;
    int pitchAlign[AV_NUM_DATA_POINTERS] = {};
};

SDecoderArea decoderAreaOf(AVCodecContext& context, const AVFrame& frame)
{
    SDecoderArea area;
    area.width = frame.width;
    area.height = frame.height;
    avcodec_align_dimensions2(&context, &area.width, &area.height, area.pitchAlign);
    return area;
}

// The bytes from the layout's start the decoder may touch for this frame,
// or none when the layout cannot take the frame: the decoder wants wider
// or differently aligned rows than our pitches, or more rows in a plane
// than fit before the plane that follows it.
std::optional<int64_t> decoderSpan(const SDecoderArea& area, const AVFrame& frame,
                                   const std::vector<SPlaneSpot>& planes)
{
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const int width = area.width;
    const int height = area.height;
    const int* pitchAlign = area.pitchAlign;
    int widest[4] = {};
    ptrdiff_t pitches[4] = {};
    size_t sizes[4] = {};
    for (size_t index = 0; index < planes.size(); ++index)
        pitches[index] = planes[index].pitch;
    if (av_image_fill_linesizes(widest, format, width) < 0 ||
        av_image_fill_plane_sizes(sizes, format, height, pitches) < 0)
        return std::nullopt;

    const auto dataAlign = static_cast<int64_t>(av_cpu_max_align());
    int64_t span = 0;
    for (size_t index = 0; index < planes.size(); ++index) {
        const SPlaneSpot& plane = planes[index];
        const auto size = static_cast<int64_t>(sizes[index]);
        const bool bAligned =
            pitchAlign[index] > 0 && plane.pitch % pitchAlign[index] == 0 && plane.offset % dataAlign == 0;
        if (!bAligned || plane.pitch < widest[index])
            return std::nullopt;
        for (size_t other = 0; other < planes.size(); ++other)
            if (other != index && overlap(plane.offset, size, planes[other].offset, int64_t(sizes[other])))
                return std::nullopt;
        span = std::max(span, plane.offset + size);
    }
    return span;
}

// The free function of lent buffers: the block goes back to its manager
// once the library and every picture made of the frame let go.
void releaseBlock(void* block, uint8_t*) { static_cast<lumo::IMemoryBlock*>(block)->release(); }

} // namespace

CPictureBuffers::CPictureBuffers(lumo::P<lumo::IMemoryManager> memory) : m_memory(std::move(memory)) {}

void CPictureBuffers::attach(AVCodecContext& context)
{
    context.opaque = this;
    context.get_buffer2 = getBuffer;
}

bool CPictureBuffers::lend(AVCodecContext& context, AVFrame& frame)
{
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const SPictureSize size{context.width, context.height};
    if (!(context.codec->capabilities & AV_CODEC_CAP_DR1) || size.width <= 0 || size.height <= 0)
        return false;
    const SLayout layout = chooseLayout(format, size);
    if (layout.format != format)
        return false;
    // Planes without gaps where the decoder's rows fit in them, otherwise
    // planes spaced for every row the decoder writes.
    const SDecoderArea area = decoderAreaOf(context, frame);
    std::vector<SPlaneSpot> planes = planesOf(layout.type, size);
    std::optional<int64_t> span = decoderSpan(area, frame, planes);
    const int32_t spacedRows = area.height + area.height % 2;
    if (!span && spacedRows > size.height && spacedRows - size.height <= common::CPictureBase::maxExtraPlaneRows) {
        planes = planesOf(layout.type, {size.width, spacedRows});
        span = decoderSpan(area, frame, planes);
    }
    const auto dataAlign = static_cast<int64_t>(av_cpu_max_align());
    if (!span || *span + tailSlack + dataAlign > std::numeric_limits<int32_t>::max())
        return false;

    lumo::P<lumo::IMemoryBlock> block =
        m_memory->allocateShareable(static_cast<int32_t>(*span + tailSlack + dataAlign));
    const auto address = reinterpret_cast<uintptr_t>(block->getData());
    uint8_t* start = block->getData() + (dataAlign - address % dataAlign) % dataAlign;
    lumo::IMemoryBlock* owner = block.detach();
    AVBufferRef* buffer = av_buffer_create(start, static_cast<size_t>(*span + tailSlack), releaseBlock, owner, 0);
    if (!buffer) {
        owner->release();
        throw std::bad_alloc();
    }
    frame.buf[0] = buffer;
    for (size_t index = 0; index < planes.size(); ++index) {
        frame.data[index] = start + planes[index].offset;
        frame.linesize[index] = planes[index].pitch;
    }
    frame.extended_data = frame.data;
    return true;
}

int CPictureBuffers::getBuffer(AVCodecContext* context, AVFrame* frame, int flags)
{
    // Nothing may be thrown through the library.
    try {
        if (static_cast<CPictureBuffers*>(context->opaque)->lend(*context, *frame))
            return 0;
    } catch (...) {
        return AVERROR(ENOMEM);
    }
    return avcodec_default_get_buffer2(context, frame, flags);
}

} // namespace nebo::avlib
