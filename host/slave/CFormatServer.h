#pragma once

#include "host/plugin/INEBContext.h"
#include "host/wire/IFormatServer.h"
#include "remote/CRemoteStreamServer.h"

namespace nebo::common {

// Serves a plugin's format with the remote framework. Its own format
// operations forward to the format; the sound ones throw CNEBError when the
// format has no sound side.
class CFormatServer : public lumo::CRemoteStreamServer, public virtual IFormatServer {
public:
    // Throws CInvalidArgError when the format or the context is null.
    CFormatServer(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output, lumo::P<IFormat> format,
                  lumo::P<INEBContext> context);
    ~CFormatServer() override;

    lumo::String getLog() override;

    bool isOpened() override;
    void open() override;
    void close() override;
    bool isEncoding() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getFormatName() override;
    lumo::String getPluginName() override;
    void encode() override;
    int32_t getProgress() override;
    void abort() override;
    void setVideoSource(lumo::P<IVideoSource> source) override;
    void setAudioSource(lumo::P<IAudioSource> source) override;
    void setSampleRate(int32_t nSampleRate) override;
    void setChannelCount(int32_t nChannelCount) override;

private:
    IAudioFormat& audioFormat();

    const lumo::P<IFormat> m_format;
    const lumo::P<INEBContext> m_context;
};

} // namespace nebo::common
