#pragma once

#include "media/CAudioChunk.h"
#include "plugins/avlib/CStreamDecoder.h"
#include "streams/IMemoryManager.h"

#include <memory>

namespace nebo::avlib {

// Decodes one audio stream into chunks of interleaved signed 16-bit
// samples at the stream's own rate and channel count: one chunk per decoded
// frame, made by one libswresample call, and at the end whatever the
// resampler still holds. Every failure of the library throws (see
// throwAvError). Not locked.
class CSoundDecoder {
public:
    static constexpr int32_t bytesPerSample = 2;

    // Reads stream `streamIndex` of the demuxer, which it takes over. Throws
    // lumo::CError when the stream names no rate or channels.
    CSoundDecoder(std::unique_ptr<CDemuxer> demuxer, int streamIndex, lumo::P<lumo::IMemoryManager> memory);
    ~CSoundDecoder();

    int32_t getSampleRate() const { return m_rate; }
    int32_t getChannelCount() const { return m_layout.nb_channels; }
    // The next chunk, stamped with the time of its first sample; null after
    // the last one.
    lumo::P<audio::CAudioChunk> decodeChunk();
    // As CStreamDecoder::seek.
    void seek(double seconds);

private:
    void prepareResampler(const AVFrame& frame);
    lumo::P<audio::CAudioChunk> convert(const AVFrame* frame, double timestamp);

    std::unique_ptr<CDemuxer> m_demuxer;
    CStreamDecoder m_decoder;
    lumo::P<lumo::IMemoryManager> m_memory;
    FramePtr m_frame;
    int32_t m_rate;
    AVChannelLayout m_layout{};
    // The resampler and the input it was made for.
    SwrPtr m_resampler;
    AVChannelLayout m_inputLayout{};
    int m_inputFormat = -1;
    int m_inputRate = 0;
    bool m_bFlushed = false;
    // The time of the sample after the last chunk, for frames without a
    // time stamp and the resampler's remainder.
    double m_nextTime = 0.0;
};

} // namespace nebo::avlib
