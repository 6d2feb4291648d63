#pragma once

#include "foundation/CObject.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/ILogManager.h"
#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/IVideoSource.h"
#include "plugins/avlib/CPictureAhead.h"
#include "plugins/avlib/CSoundReader.h"

#include <memory>
#include <string>

namespace nebo::avlib {

constexpr const char* pluginName = "nebo_avlib";

// A media file read with the decoding library: the best video stream as
// pictures, and the best (or a chosen) audio stream as interleaved signed
// 16-bit sound. Each side reads the file on its own, so reading only one
// of them costs nothing for the other.
//
// Nothing is read before open(), which opens the file and decodes the first
// picture (the first chunk of a file without pictures), so that a file the
// library cannot read fails there, where the plugin handler tries it. Calls that need the file throw
// CInvalidObjectStateError before open() and after close(). Failures of the
// library throw lumo::CError naming the file with the library's text, or
// CFileNotFoundError. One thread at a time, as for every source.
class CAvlibSource : public lumo::CObject,
                     public virtual common::IVideoSource,
                     public virtual common::IAudioSource,
                     public virtual common::IMediumFactsSource {
public:
    // `nTypes` names the sides to read (pictures 1, sound 2). `log` may be null.
    CAvlibSource(const lumo::IURI& uri, int32_t nTypes, lumo::P<lumo::IMemoryManager> memory,
                 lumo::P<common::ILogManager> log);
    ~CAvlibSource() override;

    bool isOpened() override;
    // Does nothing when opened. Throws when the file holds no stream of the
    // kinds asked for, or none that decodes.
    void open() override;
    void close() override;
    // Pictures and sound go on with the first at or after `seconds`.
    void skipToTime(double seconds) override;
    // The container's duration, else the stream's.
    double getDuration() override;
    int32_t getBufferStatus() override;
    // The pictures are over, or the sound when there are no pictures.
    bool isEOF() override;
    void setStartTime(double seconds) override;
    double getStartTime() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getPluginName() override;

    // Also before open(). Sizes of 0 lift the limit.
    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    // 0 without pictures.
    int32_t getWidth() override;
    int32_t getHeight() override;
    // 0.0 without pictures and after the last one.
    double peekNextPictureTimestamp() override;
    // Null without pictures and after the last one.
    lumo::P<common::INEBPicture> getNextPicture() override;
    // 1/1 without pictures or when the file names none.
    int32_t getPixelAspectNum() override;
    int32_t getPixelAspectDen() override;
    // 0 and 0/1 when unknown.
    double getFrameDuration() override;
    int32_t getFrameRateNum() override;
    int32_t getFrameRateDen() override;

    // A CAudioStreamInfos of the file's audio streams in file order; empty
    // when sound was not asked for.
    lumo::P<common::IAudioStreamInfos> getAudioStreamInfos() override;
    // See CSoundReader::selectStream. Throws CInvalidArgError for a number
    // that names no stream of the list.
    void setAudioStream(int32_t nAudioIndex) override;
    // Null without sound and after the last chunk.
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    // 0 without sound.
    int32_t getSampleRate() override;
    int32_t getChannelCount() override;
    int32_t getBytesPerSample() override;

    // As describeMedium tells them when the file was opened.
    lumo::P<common::CMediumFacts> getMediumFacts() override;

private:
    void requireOpened(const char* method);
    AVRational getFrameRate();
    void logOpened(const std::string& format);

    const lumo::P<lumo::CURI> m_uri;
    const int32_t m_nTypes;
    const lumo::P<lumo::IMemoryManager> m_memory;
    const lumo::P<common::ILogManager> m_log;
    double m_startTime = 0.0;
    int32_t m_maxWidth = 0;
    int32_t m_maxHeight = 0;
    double m_duration = 0.0;
    common::SMediumFacts m_facts;
    std::unique_ptr<CPictureAhead> m_pictures;
    std::unique_ptr<CSoundReader> m_sound;
};

} // namespace nebo::avlib
