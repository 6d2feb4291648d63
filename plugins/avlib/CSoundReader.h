#pragma once

#include "host/plugin/CAudioStreamInfos.h"
#include "plugins/avlib/CSoundDecoder.h"

#include <optional>
#include <string>
#include <vector>

namespace nebo::avlib {

// The sound side of a source: the file's audio streams, the one being
// decoded (at first the library's best), and the position of the sound, so
// that a skip or a change of stream goes on from the right time. It keeps
// one chunk ahead of the reader. Every failure of the library throws (see
// throwAvError). Not locked.
class CSoundReader {
public:
    // Takes over the demuxer, which must have an audio stream.
    CSoundReader(std::unique_ptr<CDemuxer> demuxer, lumo::P<lumo::IMemoryManager> memory);

    // The audio streams in file order; an entry's nIndex is its number.
    const std::vector<common::SAudioStreamInfo>& getStreamInfos() const { return m_infos; }
    // Switches to audio stream `number`, which goes on from where the sound
    // stood: after the last chunk handed out, or at the time of the last
    // skip, or from its start when neither happened. Throws
    // CInvalidArgError for a number outside the list.
    void selectStream(int32_t number);

    // The stream being decoded, for the log.
    std::string describe() const;

    int32_t getSampleRate() const { return m_decoder->getSampleRate(); }
    int32_t getChannelCount() const { return m_decoder->getChannelCount(); }

    // Null after the last chunk.
    lumo::P<audio::IAudioChunk> getNextChunk();
    bool isAtEnd();
    // The next chunk starts with the first sample at or after `seconds`.
    void skipToTime(double seconds);

private:
    void seekDecoder(double seconds);
    bool fillPending();
    // The chunk without its samples before the skip's time; null when none
    // is left.
    lumo::P<audio::CAudioChunk> trimmed(lumo::P<audio::CAudioChunk> chunk) const;

    lumo::P<lumo::CURI> m_uri;
    lumo::P<lumo::IMemoryManager> m_memory;
    std::vector<int> m_streams;
    std::vector<common::SAudioStreamInfo> m_infos;
    int32_t m_number = 0;
    std::unique_ptr<CSoundDecoder> m_decoder;
    lumo::P<audio::CAudioChunk> m_pending;
    std::optional<double> m_position;
    std::optional<double> m_dropBefore;
};

} // namespace nebo::avlib
