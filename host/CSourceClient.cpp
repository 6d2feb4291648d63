#include "host/CSourceClient.h"

#include "foundation/castObject.h"
#include "host/CAudioStreamInfos.h"
#include "host/checkNotNull.h"
#include "media/CAudioChunk.h"
#include "media/CNEBPictureRemote.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

CSourceClient::CSourceClient(P<lumo::IInStream> input, P<lumo::IOutStream> output,
                             P<lumo::IMemoryManager> memoryManager)
    : CRemoteStreamClient(std::move(input), std::move(output)),
      m_memoryManager(checkNotNull(std::move(memoryManager), "the memory manager", "CSourceClient"))
{
    setMemoryManager(m_memoryManager);
}
lumo::String CSourceClient::getLog() { return callRemote<getLogFunction>(*this); }

bool CSourceClient::isOpened() { return callRemote<isOpenedFunction>(*this); }
void CSourceClient::open() { sendRemote<openProc>(*this); }
void CSourceClient::close() { sendRemote<closeProc>(*this); }
void CSourceClient::skipToTime(double seconds) { sendRemote<skipToTimeProc>(*this, seconds); }
double CSourceClient::getDuration() { return callRemote<getDurationFunction>(*this); }
int32_t CSourceClient::getBufferStatus() { return callRemote<getBufferStatusFunction>(*this); }
bool CSourceClient::isEOF() { return callRemote<isEOFFunction>(*this); }
void CSourceClient::setStartTime(double seconds) { sendRemote<setStartTimeProc>(*this, seconds); }
double CSourceClient::getStartTime() { return callRemote<getStartTimeFunction>(*this); }
lumo::String CSourceClient::getPluginName() { return callRemote<getPluginNameFunction>(*this); }

P<lumo::CURI> CSourceClient::getURI()
{
    const P<lumo::IURI> uri = callRemote<getURIFunction>(*this);
    return uri ? make<lumo::CURI>(uri->getText()) : nullptr;
}

void CSourceClient::setMaxSize(int32_t nWidth, int32_t nHeight) { sendRemote<setMaxSizeProc>(*this, nWidth, nHeight); }
int32_t CSourceClient::getWidth() { return callRemote<getWidthFunction>(*this); }
int32_t CSourceClient::getHeight() { return callRemote<getHeightFunction>(*this); }
double CSourceClient::peekNextPictureTimestamp() { return callRemote<peekNextPictureTimestampFunction>(*this); }
int32_t CSourceClient::getPixelAspectNum() { return callRemote<getPixelAspectNumFunction>(*this); }
int32_t CSourceClient::getPixelAspectDen() { return callRemote<getPixelAspectDenFunction>(*this); }
double CSourceClient::getFrameDuration() { return callRemote<getFrameDurationFunction>(*this); }
int32_t CSourceClient::getFrameRateNum() { return callRemote<getFrameRateNumFunction>(*this); }
int32_t CSourceClient::getFrameRateDen() { return callRemote<getFrameRateDenFunction>(*this); }

P<INEBPicture> CSourceClient::getNextPicture()
{
    getNextPictureFunction function;
    const P<lumo::ISerializable> received = callObject(function, make<CNEBPictureRemote>(m_memoryManager));
    if (!received)
        return nullptr;
    return lumo::castObject<INEBPictureRemote>(received)->getPicture();
}

void CSourceClient::setAudioStream(int32_t nAudioIndex) { sendRemote<setAudioStreamProc>(*this, nAudioIndex); }
int32_t CSourceClient::getSampleRate() { return callRemote<getSampleRateFunction>(*this); }
int32_t CSourceClient::getChannelCount() { return callRemote<getChannelCountFunction>(*this); }
int32_t CSourceClient::getBytesPerSample() { return callRemote<getBytesPerSampleFunction>(*this); }

P<IAudioStreamInfos> CSourceClient::getAudioStreamInfos()
{
    getAudioStreamInfosFunction function;
    return lumo::castObject<IAudioStreamInfos>(callObject(function, make<CAudioStreamInfos>()));
}

P<audio::IAudioChunk> CSourceClient::getNextAudioChunk()
{
    getNextAudioChunkFunction function;
    const P<lumo::ISerializable> preset =
        make<audio::CAudioChunk>(0.0, m_memoryManager->allocate(audioChunkPresetSize));
    return lumo::castObject<audio::IAudioChunk>(callObject(function, preset));
}

} // namespace nebo::common
