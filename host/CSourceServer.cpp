#include "host/CSourceServer.h"

#include "foundation/castObject.h"
#include "host/CNEBError.h"
#include "host/checkNotNull.h"
#include "host/takeLogText.h"
#include "media/CNEBPictureRemote.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

CSourceServer::CSourceServer(P<lumo::IInStream> input, P<lumo::IOutStream> output, P<ISource> source,
                             P<INEBContext> context)
    : CRemoteStreamServer(std::move(input), std::move(output)),
      m_source(checkNotNull(std::move(source), "the source", "CSourceServer")),
      m_video(lumo::castObject<IVideoSource>(m_source, false)),
      m_audio(lumo::castObject<IAudioSource>(m_source, false)),
      m_context(checkNotNull(std::move(context), "the context", "CSourceServer")),
      m_memoryManager(m_context->getMemoryManager())
{
    setMemoryManager(m_memoryManager);
    registerOperations();
}

CSourceServer::~CSourceServer()
{
    stopThreadInDestructor();
}

void CSourceServer::registerOperations()
{
    registerProc(make<getLogFunction>(this));
    registerProc(make<isOpenedFunction>(this));
    registerProc(make<openProc>(this));
    registerProc(make<closeProc>(this));
    registerProc(make<skipToTimeProc>(this));
    registerProc(make<getDurationFunction>(this));
    registerProc(make<getBufferStatusFunction>(this));
    registerProc(make<isEOFFunction>(this));
    registerProc(make<setStartTimeProc>(this));
    registerProc(make<getStartTimeFunction>(this));
    registerProc(make<getURIFunction>(this));
    registerProc(make<getPluginNameFunction>(this));
    registerProc(make<setMaxSizeProc>(this));
    registerProc(make<getWidthFunction>(this));
    registerProc(make<getHeightFunction>(this));
    registerProc(make<peekNextPictureTimestampFunction>(this));
    registerProc(make<getNextPictureFunction>(this));
    registerProc(make<getPixelAspectNumFunction>(this));
    registerProc(make<getPixelAspectDenFunction>(this));
    registerProc(make<getFrameDurationFunction>(this));
    registerProc(make<getFrameRateNumFunction>(this));
    registerProc(make<getFrameRateDenFunction>(this));
    registerProc(make<getAudioStreamInfosFunction>(this));
    registerProc(make<setAudioStreamProc>(this));
    registerProc(make<getNextAudioChunkFunction>(this));
    registerProc(make<getSampleRateFunction>(this));
    registerProc(make<getChannelCountFunction>(this));
    registerProc(make<getBytesPerSampleFunction>(this));
}

IVideoSource& CSourceServer::video()
{
    if (!m_video)
        throw CNEBError("CSourceServer: the source has no pictures");
    return *m_video;
}

IAudioSource& CSourceServer::audio()
{
    if (!m_audio)
        throw CNEBError("CSourceServer: the source has no sound");
    return *m_audio;
}

lumo::String CSourceServer::getLog() { return takeLogText(*m_context); }

bool CSourceServer::isOpened() { return m_source->isOpened(); }
void CSourceServer::open() { m_source->open(); }
void CSourceServer::close() { m_source->close(); }
void CSourceServer::skipToTime(double seconds) { m_source->skipToTime(seconds); }
double CSourceServer::getDuration() { return m_source->getDuration(); }
int32_t CSourceServer::getBufferStatus() { return m_source->getBufferStatus(); }
bool CSourceServer::isEOF() { return m_source->isEOF(); }
void CSourceServer::setStartTime(double seconds) { m_source->setStartTime(seconds); }
double CSourceServer::getStartTime() { return m_source->getStartTime(); }
P<lumo::CURI> CSourceServer::getURI() { return m_source->getURI(); }
lumo::String CSourceServer::getPluginName() { return m_source->getPluginName(); }

void CSourceServer::setMaxSize(int32_t nWidth, int32_t nHeight) { video().setMaxSize(nWidth, nHeight); }
int32_t CSourceServer::getWidth() { return video().getWidth(); }
int32_t CSourceServer::getHeight() { return video().getHeight(); }
double CSourceServer::peekNextPictureTimestamp() { return video().peekNextPictureTimestamp(); }

P<INEBPicture> CSourceServer::getNextPicture()
{
    P<INEBPicture> picture = video().getNextPicture();
    if (!picture)
        return nullptr;
    return make<CNEBPictureRemote>(m_memoryManager, std::move(picture));
}

int32_t CSourceServer::getPixelAspectNum() { return video().getPixelAspectNum(); }
int32_t CSourceServer::getPixelAspectDen() { return video().getPixelAspectDen(); }
double CSourceServer::getFrameDuration() { return video().getFrameDuration(); }
int32_t CSourceServer::getFrameRateNum() { return video().getFrameRateNum(); }
int32_t CSourceServer::getFrameRateDen() { return video().getFrameRateDen(); }

P<IAudioStreamInfos> CSourceServer::getAudioStreamInfos() { return audio().getAudioStreamInfos(); }
void CSourceServer::setAudioStream(int32_t nAudioIndex) { audio().setAudioStream(nAudioIndex); }
P<audio::IAudioChunk> CSourceServer::getNextAudioChunk() { return audio().getNextAudioChunk(); }
int32_t CSourceServer::getSampleRate() { return audio().getSampleRate(); }
int32_t CSourceServer::getChannelCount() { return audio().getChannelCount(); }
int32_t CSourceServer::getBytesPerSample() { return audio().getBytesPerSample(); }

} // namespace nebo::common
