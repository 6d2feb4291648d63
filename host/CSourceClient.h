#pragma once

#include "host/ISourceServer.h"
#include "remote/CRemoteStreamClient.h"

namespace nebo::common {

// The master's view of a source served in a slave: every operation is a
// remote call on the pipe the plugin client used. Pictures are read
// straight into a preset picture, chunks into a preset 1 MiB block from the
// client's memory manager. Calls throw what the call throws (the pipe's
// errors, CRemoteException); any thread may call, one call at a time.
class CSourceClient : public lumo::CRemoteStreamClient, public virtual ISourceServer {
public:
    // Throws CInvalidArgError when a stream or the memory manager is null.
    CSourceClient(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output,
                  lumo::P<lumo::IMemoryManager> memoryManager);

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
    lumo::P<INEBPicture> getNextPicture() override;
    int32_t getPixelAspectNum() override;
    int32_t getPixelAspectDen() override;
    double getFrameDuration() override;
    int32_t getFrameRateNum() override;
    int32_t getFrameRateDen() override;

    // Reads a present list into a CAudioStreamInfos, the class of the
    // plugins we ship; an absent one gives null. A list written in another
    // form fails as the read of a cut-short or malformed body.
    lumo::P<IAudioStreamInfos> getAudioStreamInfos() override;
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;
    int32_t getSampleRate() override;
    int32_t getChannelCount() override;
    int32_t getBytesPerSample() override;

    static constexpr int32_t audioChunkPresetSize = 1048576;

private:
    const lumo::P<lumo::IMemoryManager> m_memoryManager;
};

} // namespace nebo::common
