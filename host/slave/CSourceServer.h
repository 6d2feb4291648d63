#pragma once

#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/INEBContext.h"
#include "host/slave/CSharedBufferMemoryManager.h"
#include "host/wire/ISharedPictureServer.h"
#include "host/wire/ISourceServer.h"
#include "platform/ISharedMemoryChannel.h"
#include "remote/CRemoteStreamServer.h"

namespace nebo::common {

// Serves a plugin's source on the pipe that the plugin server used until
// now. Pictures leave wrapped with their type; chunks and stream lists
// leave as the plugin wrote them. A master asks for both sides whatever
// the medium holds, so a side the source lacks answers as a medium without
// it does: sizes, rates and times of 0, no picture, chunk or stream list,
// and setMaxSize does nothing. Only setAudioStream on a source without
// sound throws CNEBError, which ends the slave's loop like any error in a
// served call.
//
// A master may offer a ring of shared picture buffers once; after that,
// pictures go in a shared buffer: the one the plugin made them in, or one
// the master has released, large enough, that they are copied into; on the
// pipe otherwise (the master holds every buffer, or the picture is not one
// of our layouts). Either way the master never waits on a buffer.
//
// A source that tells its medium's facts has "getMediumFacts" served too;
// for any other the master's request finds no such function.
class CSourceServer : public lumo::CRemoteStreamServer,
                      public virtual ISourceServer,
                      public virtual ISharedPictureServer {
public:
    // Throws CInvalidArgError when the source or the context is null.
    CSourceServer(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output, lumo::P<ISource> source,
                  lumo::P<INEBContext> context);
    ~CSourceServer() override;

    lumo::String getLog() override;

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

    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    int32_t getWidth() override;
    int32_t getHeight() override;
    double peekNextPictureTimestamp() override;
    // The next picture in a remote wrapper, or null.
    lumo::P<INEBPicture> getNextPicture() override;
    int32_t getPixelAspectNum() override;
    int32_t getPixelAspectDen() override;
    double getFrameDuration() override;
    int32_t getFrameRateNum() override;
    int32_t getFrameRateDen() override;

    lumo::P<IAudioStreamInfos> getAudioStreamInfos() override;
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    int32_t getSampleRate() override;
    int32_t getChannelCount() override;
    int32_t getBytesPerSample() override;
    // Served only for a source that tells its facts.
    lumo::P<CMediumFacts> getMediumFacts() override;

    bool offerSharedPictures() override;
    lumo::P<lumo::ISerializable> getNextSharedPicture(int32_t releasedBuffers) override;

private:
    void registerOperations();
    IAudioSource& audio();

    const lumo::P<ISource> m_source;
    const lumo::P<IVideoSource> m_video;
    const lumo::P<IAudioSource> m_audio;
    const lumo::P<IMediumFactsSource> m_facts;
    const lumo::P<INEBContext> m_context;
    const lumo::P<lumo::IMemoryManager> m_memoryManager;
    // The input's, when it can carry shared memory.
    const lumo::P<lumo::ISharedMemoryChannel> m_sharedChannel;
    // The context's memory manager when it makes blocks in the shared
    // buffers, so that the plugin's pictures need no copy; else one that
    // serves this server alone.
    const lumo::P<CSharedBufferMemoryManager> m_sharedBuffers;
    bool m_bSharing = false;
};

} // namespace nebo::common
