#pragma once

#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/INEBContext.h"
#include "host/slave/CSharedBufferMemoryManager.h"
#include "host/wire/ISharedPictureServer.h"
#include "host/wire/ISourceServer.h"
#include "host/wire/TForwardedSource.h"
#include "platform/ISharedMemoryChannel.h"
#include "remote/CRemoteStreamServer.h"

namespace nebo::common {

// Serves a plugin's source on the pipe the plugin server used until now.
// Pictures leave wrapped with their type; chunks and stream lists as the
// plugin wrote them. A master asks for both sides whatever the medium
// holds, so a side the source lacks answers as a medium without it does
// (zeros, no items, setMaxSize ignored), except setAudioStream.
//
// After a master's offer of shared picture buffers, a picture goes in the
// buffer the plugin made it in, or is copied into a free one large enough;
// else (no buffer free, or not one of our layouts) on the pipe. The master
// never waits on a buffer.
class CSourceServer : public lumo::CRemoteStreamServer,
                      public virtual ISourceServer,
                      public virtual ISharedPictureServer,
                      public TForwardedSource<CSourceServer> {
public:
    // Throws CInvalidArgError when the source or the context is null.
    CSourceServer(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output, lumo::P<ISource> source,
                  lumo::P<INEBContext> context);
    ~CSourceServer() override;

    lumo::String getLog() override;
    lumo::P<lumo::CURI> getURI() override;
    // The next picture in a remote wrapper, or null.
    lumo::P<INEBPicture> getNextPicture() override;
    lumo::P<IAudioStreamInfos> getAudioStreamInfos() override;
    // Throws CNEBError for a source without sound, which ends the slave's
    // loop as any error in a served call does.
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    // Served only for a source that tells its facts; for any other the
    // master's request finds no such function.
    lumo::P<CMediumFacts> getMediumFacts() override;

    bool offerSharedPictures() override;
    lumo::P<lumo::ISerializable> getNextSharedPicture(int32_t releasedBuffers) override;

private:
    friend TForwardedSource<CSourceServer>;

    void registerOperations();
    // The plain operations: what the side of the source that declares the
    // member answers, or what a medium without that side answers.
    template <class Operation, class... Arguments> auto forwardOperation(Arguments... arguments)
    {
        auto* const side = sideOf(static_cast<typename Operation::Interface*>(nullptr));
        if (!side)
            return typename Operation::Result();
        return (side->*Operation::member)(arguments...);
    }
    ISource* sideOf(ISource*) { return m_source.get(); }
    IVideoSource* sideOf(IVideoSource*) { return m_video.get(); }
    IAudioSource* sideOf(IAudioSource*) { return m_audio.get(); }

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
