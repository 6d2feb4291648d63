#pragma once

#include "foundation/CObject.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/ILogManager.h"
#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/IVideoSource.h"
#include "plugins/demo/CDemoClip.h"

namespace nebo::demo {

// Plays a synthetic clip: pictures and sound made on demand, in order,
// from where the last skip put them.
class CDemoSource : public lumo::CObject,
                    public virtual common::IVideoSource,
                    public virtual common::IAudioSource,
                    public virtual common::IMediumFactsSource {
public:
    // `log` may be null.
    CDemoSource(const CDemoClip& clip, const lumo::IURI& uri, lumo::P<lumo::IMemoryManager> memory,
                lumo::P<common::ILogManager> log);

    bool isOpened() override;
    void open() override;
    void close() override;
    void skipToTime(double seconds) override;
    double getDuration() override;
    int32_t getBufferStatus() override;
    bool isEOF() override;
    void setStartTime(double seconds) override;
    double getStartTime() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getPluginName() override;

    // Demo clips have the size their URI asks for; a limit changes nothing
    // but is logged, so that a host can see what reached the plugin.
    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    int32_t getWidth() override;
    int32_t getHeight() override;
    double peekNextPictureTimestamp() override;
    lumo::P<common::INEBPicture> getNextPicture() override;
    int32_t getPixelAspectNum() override;
    int32_t getPixelAspectDen() override;
    double getFrameDuration() override;
    int32_t getFrameRateNum() override;
    int32_t getFrameRateDen() override;

    // A clip has one sound stream and no list of them.
    lumo::P<common::IAudioStreamInfos> getAudioStreamInfos() override;
    // Only stream 0 exists; any other index throws CInvalidArgError.
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    int32_t getSampleRate() override;
    int32_t getChannelCount() override;
    int32_t getBytesPerSample() override;

    lumo::P<common::CMediumFacts> getMediumFacts() override;

private:
    const CDemoClip m_clip;
    const lumo::P<lumo::CURI> m_uri;
    const lumo::P<lumo::IMemoryManager> m_memory;
    const lumo::P<common::ILogManager> m_log;
    bool m_bOpened = false;
    double m_startTime = 0.0;
    int64_t m_nextPicture = 0;
    int64_t m_nextChunk = 0;
};

} // namespace nebo::demo
