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
    // Throws CNEBError for a source without sound.
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    // Served only for a source that tells its facts.
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
