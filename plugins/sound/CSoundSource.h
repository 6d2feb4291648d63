#pragma once

#include "foundation/CObject.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IMediumFactsSource.h"
#include "plugins/sound/CSoundFile.h"
#include "streams/IMemoryManager.h"

#include <optional>

namespace nebo::sound {

// The sound of one file, handed out in chunks of interleaved samples in the
// file's own precision (see ESampleDelivery): 24-bit and 32-bit integers as
// such, floating point as 32-bit floats, anything else as signed 16-bit
// integers. The file is read only between open() and close(); sizes and
// rates stay those of the last open. One thread at a time, as every source.
class CSoundSource : public lumo::CObject,
                     public virtual common::IAudioSource,
                     public virtual common::IMediumFactsSource {
public:
    // The frames of every chunk but a file's last.
    static constexpr int32_t framesPerChunk = 4096;

    // Chunks take their memory from `memory`. Nothing is read before open().
    CSoundSource(const lumo::IURI& uri, lumo::P<lumo::IMemoryManager> memory);

    bool isOpened() override;
    // Throws lumo::CError "<file>: <the library's text>" when the file cannot
    // be read as sound. Opening an open source changes nothing.
    void open() override;
    void close() override;
    // The next chunk starts at the first frame at or after `seconds`.
    // Throws CInvalidObjectStateError unless open.
    void skipToTime(double seconds) override;
    double getDuration() override;
    // Files are always wholly at hand: 100.
    int32_t getBufferStatus() override;
    bool isEOF() override;
    void setStartTime(double seconds) override;
    double getStartTime() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getPluginName() override;

    // A file has one sound stream and no list of them: null.
    lumo::P<common::IAudioStreamInfos> getAudioStreamInfos() override;
    // Only stream 0 exists; any other index throws CInvalidArgError.
    void setAudioStream(int32_t nAudioIndex) override;
    // Null at the end. Throws CInvalidObjectStateError unless open, and the
    // file's error when reading fails.
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    int32_t getSampleRate() override;
    int32_t getChannelCount() override;
    // 2 before the first open.
    int32_t getBytesPerSample() override;

    // See describeSoundFile. Throws CInvalidObjectStateError unless open.
    lumo::P<common::CMediumFacts> getMediumFacts() override;

private:
    CSoundFile& requireFile();
    double timeOfFrame(int64_t frame) const;
    int64_t firstFrameAt(double seconds) const;

    const lumo::P<lumo::CURI> m_uri;
    const lumo::P<lumo::IMemoryManager> m_memory;
    std::optional<CSoundFile> m_file;
    int64_t m_frameCount = 0;
    int32_t m_sampleRate = 0;
    int32_t m_channelCount = 0;
    int32_t m_bytesPerSample = 2;
    int64_t m_nextFrame = 0;
    bool m_bDataEnded = false;
    double m_startTime = 0.0;
};

} // namespace nebo::sound
