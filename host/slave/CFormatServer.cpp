#include "host/slave/CFormatServer.h"

#include "foundation/castObject.h"
#include "host/common/checkNotNull.h"
#include "host/slave/takeLogText.h"
#include "media/CNEBError.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

CFormatServer::CFormatServer(P<lumo::IInStream> input, P<lumo::IOutStream> output, P<IFormat> format,
                             P<INEBContext> context)
    : CRemoteStreamServer(std::move(input), std::move(output)),
      m_format(checkNotNull(std::move(format), "the format", "CFormatServer")),
      m_context(checkNotNull(std::move(context), "the context", "CFormatServer")){
          NEBO_FORMAT_OPERATIONS(NEBO_REGISTER_REMOTE_OPERATION)}

      CFormatServer::~CFormatServer()
{
    stopThreadInDestructor();
}

IAudioFormat& CFormatServer::audioFormat()
{
    const P<IAudioFormat> audio = lumo::castObject<IAudioFormat>(m_format, false);
    if (!audio)
        throw CNEBError("CFormatServer: the format has no sound");
    return *audio;
}

lumo::String CFormatServer::getLog() { return takeLogText(*m_context); }

bool CFormatServer::isOpened() { return m_format->isOpened(); }
void CFormatServer::open() { m_format->open(); }
void CFormatServer::close() { m_format->close(); }
bool CFormatServer::isEncoding() { return m_format->isEncoding(); }
P<lumo::CURI> CFormatServer::getURI() { return m_format->getURI(); }
lumo::String CFormatServer::getFormatName() { return m_format->getFormatName(); }
lumo::String CFormatServer::getPluginName() { return m_format->getPluginName(); }
void CFormatServer::encode() { m_format->encode(); }
int32_t CFormatServer::getProgress() { return m_format->getProgress(); }
void CFormatServer::abort() { m_format->abort(); }
void CFormatServer::setVideoSource(P<IVideoSource> source) { m_format->setVideoSource(std::move(source)); }
void CFormatServer::setAudioSource(P<IAudioSource> source) { m_format->setAudioSource(std::move(source)); }
void CFormatServer::setSampleRate(int32_t nSampleRate) { audioFormat().setSampleRate(nSampleRate); }
void CFormatServer::setChannelCount(int32_t nChannelCount) { audioFormat().setChannelCount(nChannelCount); }

} // namespace nebo::common
