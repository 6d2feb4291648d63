#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "host/plugin/IAudioStreamInfos.h"

#include <vector>

namespace nebo::common {

// One sound stream of a source, as a plugin describes it.
struct SAudioStreamInfo {
    int32_t nIndex = 0;     // the number to hand to setAudioStream
    lumo::String codecName; // the decoder's short name
    lumo::String language;  // empty when the file names none
    int32_t nChannels = 0;
    int32_t nSampleRate = 0;
};

// The sound streams of a source, in the plugin's order: the form shipped
// plugins answer getAudioStreamInfos in and the master reads. Not locked.
class CAudioStreamInfos : public lumo::CObject, public virtual IAudioStreamInfos {
public:
    CAudioStreamInfos() = default;
    explicit CAudioStreamInfos(std::vector<SAudioStreamInfo> streams);

    const std::vector<SAudioStreamInfo>& getStreams() const { return m_streams; }

    // The count, then per stream: index, codec name, language, channels, rate.
    void write(lumo::IDataOutStream& out) override;
    // Throws CParseError for a count outside 0..the stream's item bound and
    // the stream's errors for a cut-short body; keeps the old streams then.
    bool read(lumo::IDataInStream& in) override;

private:
    std::vector<SAudioStreamInfo> m_streams;
};

} // namespace nebo::common
