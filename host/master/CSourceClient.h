#pragma once

#include "host/plugin/SSlaveLimits.h"
#include "host/wire/ISourceServer.h"
#include "host/wire/TForwardedSource.h"
#include "platform/ISharedMemoryChannel.h"
#include "remote/CRemoteStreamClient.h"

#include <optional>

namespace lumo {
class IMutex;
}

namespace nebo::common {

class CSharedPictureRing;

// The master's view of a source served in a slave: every operation is a
// remote call on the plugin client's pipe. Pictures and chunks are read into
// presets from the client's memory manager. Calls throw what the call throws
// (the pipe's errors, CRemoteException); any thread may call, one at a time.
//
// What the slave sends is held to the client's SSlaveLimits before memory is
// taken for it: strings and lists (CParseError), the announced picture size
// (CNEBError), pictures within that size and audio chunks within the bound
// (the media classes' errors). A refused reply is left half read on the
// pipe, so the slave must be ended.
//
// Unless NEBO_SHARED_PICTURES is "off", a client whose output can carry
// shared memory offers the slave, before the first picture, a ring of shared
// buffers, each large enough for the announced size in any layout; a peer
// that answers "notfound" or refuses keeps the pipe. Each buffer the slave
// names is checked against the ring (CNEBError).
//
// A peer that answers getMediumFacts "notfound" is asked nothing more.
class CSourceClient : public lumo::CRemoteStreamClient,
                      public virtual ISourceServer,
                      public TForwardedSource<CSourceClient> {
public:
    // Throws CInvalidArgError when a stream or the memory manager is null.
    // Holds to the default limits until setLimits.
    CSourceClient(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output,
                  lumo::P<lumo::IMemoryManager> memoryManager);

    // The limits for every reply from now on. Set before other threads use
    // the client.
    void setLimits(const SSlaveLimits& limits);

    lumo::String getLog() override;
    lumo::P<lumo::CURI> getURI() override;

    // open, close and setMaxSize make the client ask the source for its
    // picture size again before the next picture.
    void open() override;
    void close() override;
    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    // Throw CNEBError for a negative answer or one above maxPictureSide.
    int32_t getWidth() override;
    int32_t getHeight() override;
    // The first picture after open, close or setMaxSize needs the size the
    // source announces: what getWidth and getHeight answered since, else it
    // asks them first. Beyond maxPictureSide, maxPicturePixels, or negative,
    // it throws CNEBError. A picture larger than that size is refused.
    lumo::P<INEBPicture> getNextPicture() override;

    // Reads a present list into a CAudioStreamInfos, the class of the
    // plugins we ship; an absent one gives null. A list written in another
    // form fails as the read of a cut-short or malformed body.
    lumo::P<IAudioStreamInfos> getAudioStreamInfos() override;
    // A chunk longer than maxAudioChunkBytes is refused.
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;

    // Null when the slave's source tells no facts. Facts beyond the bounds
    // of CMediumFacts are refused (CParseError).
    lumo::P<CMediumFacts> getMediumFacts() override;

    static constexpr int32_t audioChunkPresetSize = 1048576;
    // Enough for the pictures a prefetching source and its user hold at once;
    // fewer where they would map more than sharedRingMaxBytes in all.
    static constexpr int32_t sharedRingBuffers = 6;
    static constexpr int64_t sharedRingMaxBytes = int64_t{512} << 20;
    // The widest layout, 32-bit RGB.
    static constexpr int64_t sharedBytesPerPixel = 4;

private:
    friend TForwardedSource<CSourceClient>;

    // The plain operations: a call to the peer.
    template <class Operation, class... Arguments> auto forwardOperation(Arguments... arguments)
    {
        return callRemote<Operation>(*this, arguments...);
    }

    struct SPictureSize {
        int32_t width;
        int32_t height;
    };

    // What the source answered since the last open, close or setMaxSize.
    struct SKnownSize {
        std::optional<int32_t> width;
        std::optional<int32_t> height;
    };

    // Checks a side the source announced and keeps it in `known`.
    int32_t learnAnnouncedSide(std::optional<int32_t>& known, int32_t side, const char* name);
    // The size the source announced, asking for what is not known.
    SPictureSize getAnnouncedSize();
    void forgetAnnouncedSize();
    // The ring the slave took, offering one first when not done yet; null to
    // use the pipe.
    lumo::P<CSharedPictureRing> getSharedRing(const SPictureSize& bound);
    lumo::P<INEBPicture> getNextSharedPicture(const lumo::P<CSharedPictureRing>& ring, const SPictureSize& bound);

    const lumo::P<lumo::IMemoryManager> m_memoryManager;
    SSlaveLimits m_limits;
    // Guards the announced size, which the caller of open or setMaxSize and
    // a thread fetching pictures may share.
    const lumo::P<lumo::IMutex> m_sizeLock;
    SKnownSize m_announcedSize;
    // The output's when it can carry shared memory and the setting allows.
    const lumo::P<lumo::ISharedMemoryChannel> m_sharedChannel;
    bool m_bSharedOffered = false;
    lumo::P<CSharedPictureRing> m_sharedRing;
    bool m_bFactsNotFound = false;
};

} // namespace nebo::common
