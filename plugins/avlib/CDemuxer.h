#pragma once

#include "foundation/CURI.h"
#include "plugins/avlib/avHolders.h"

#include <vector>

namespace nebo::avlib {

// One reading of a media file: it hands out the packets of one chosen
// stream and skips the rest, so each side of a source (pictures, sound)
// reads the file on its own and neither waits for or buffers the other.
// Every failure of the library throws (see throwAvError). Not locked.
class CDemuxer {
public:
    // Opens and probes the local file a "file" URI names; only local files
    // are read, also when the file refers to others.
    explicit CDemuxer(const lumo::IURI& uri);
    CDemuxer(const CDemuxer&) = delete;
    CDemuxer& operator=(const CDemuxer&) = delete;

    const lumo::IURI& getURI() const { return *m_uri; }
    AVFormatContext& getContext() const { return *m_context; }
    AVStream& getStream(int index) const { return *m_context->streams[index]; }
    // The stream the library deems best of a kind, or -1.
    int findBestStream(AVMediaType type) const;
    // The streams of a kind, in file order.
    std::vector<int> findStreams(AVMediaType type) const;

    // From now on only this stream's packets are read.
    void selectStream(int index);
    int getSelectedStream() const { return m_selected; }
    // The next packet of the selected stream into `packet`; false at the end.
    bool readPacket(AVPacket& packet);
    // Moves to the key frame of the selected stream at or before `seconds`,
    // or to its first one when none is.
    void seek(double seconds);
    // Moves to the first byte of the file's data; false for formats that
    // cannot be read from there.
    bool rewind();
    // The container's duration, else the stream's; 0 when unknown.
    double getDuration(int streamIndex) const;

private:
    lumo::P<lumo::CURI> m_uri;
    FormatContextPtr m_context;
    int m_selected = -1;
};

// Seconds for a time stamp in a time base.
double toSeconds(int64_t timestamp, AVRational timeBase);

} // namespace nebo::avlib
