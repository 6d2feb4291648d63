#pragma once

#include "plugins/avlib/CPictureBuffers.h"
#include "plugins/avlib/CPictureMaker.h"
#include "plugins/avlib/CStreamDecoder.h"

#include <memory>
#include <string>

namespace nebo::avlib {

// The picture side of a source: decodes one video stream, one picture ahead
// of the reader so that the next time stamp and the end are known. Every
// failure of the library throws (see throwAvError). Not locked.
class CPictureReader {
public:
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

    // Null after the last picture.
    lumo::P<common::INEBPicture> getNextPicture();
    // Decodes and makes the next picture now, so that getNextPicture hands
    // it out at once. A limit set later drops the picture, not its frame.
    void makeAhead();
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
    // The pending frame as a picture, once made ahead.
    lumo::P<common::INEBPicture> m_made;
    double m_pendingTime = 0.0;
    // Pictures before this time are dropped (set by a skip).
    double m_dropBefore;
    // For pictures that come without a time stamp.
    std::optional<double> m_lastTime;
};

} // namespace nebo::avlib
