#pragma once

#include "plugins/avlib/CPictureBuffers.h"
#include "plugins/avlib/CPictureMaker.h"
#include "plugins/avlib/CStreamDecoder.h"

#include <memory>
#include <optional>
#include <string>

namespace nebo::avlib {

// The picture side of a source: decodes one video stream, one frame ahead
// of the reader so that the next time stamp and the end are known. A frame
// is taken first and made into a picture after, so that the making (a copy
// where the decoder's layout is not the picture's) can run on one thread
// while the decoding of the next frame runs on another. Every failure of
// the library throws (see throwAvError). Not locked.
class CPictureReader {
public:
    // A decoded frame taken from the reader, with its time stamp.
    struct STakenFrame {
        FramePtr frame;
        double time;
    };

    // Reads stream `streamIndex` of the demuxer, which it takes over.
    CPictureReader(std::unique_ptr<CDemuxer> demuxer, int streamIndex, lumo::P<lumo::IMemoryManager> memory);

    void setMaxSize(int32_t width, int32_t height);
    // The size of the pictures handed out, as far as the decoder knows it.
    SPictureSize getPictureSize() const;
    AVRational getFrameRate() const;
    // The stream's pixel aspect; 1/1 when it names none.
    AVRational getPixelAspect() const;
    // The stream, codec, size, format and rate, for the log.
    std::string describe() const;

    // The next frame; none after the last.
    std::optional<STakenFrame> takeNextFrame();
    // Decodes the next frame now, so that takeNextFrame hands it out at once.
    void decodeAhead();
    // The picture of a taken frame, at the size limit set now. Touches
    // nothing of the decoding: may run beside decodeAhead, not beside
    // setMaxSize or another makePicture.
    lumo::P<common::INEBPicture> makePicture(const STakenFrame& taken);
    // The time stamp of the picture getNextPicture hands out next.
    std::optional<double> peekNextTimestamp();
    bool isAtEnd();
    // The next picture is the first whose time stamp is not below `seconds`.
    void skipToTime(double seconds);

private:
    // Decodes until a picture at or after the skip's time waits, or the end.
    bool fillPending();
    double frameDuration() const;

    std::unique_ptr<CDemuxer> m_demuxer;
    // Outlives the decoder, which asks it for memory.
    CPictureBuffers m_buffers;
    CStreamDecoder m_decoder;
    CPictureMaker m_maker;
    FramePtr m_pending;
    bool m_bPending = false;
    double m_pendingTime = 0.0;
    // Pictures before this time are dropped (set by a skip).
    double m_dropBefore;
    // For pictures that come without a time stamp.
    std::optional<double> m_lastTime;
};

} // namespace nebo::avlib
