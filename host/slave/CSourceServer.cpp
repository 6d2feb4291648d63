#include "host/slave/CSourceServer.h"

#include "foundation/CException.h"
#include "foundation/castObject.h"
#include "host/common/checkNotNull.h"
#include "host/slave/takeLogText.h"
#include "host/wire/CSharedPicture.h"
#include "media/CNEBError.h"
#include "media/CNEBPictureRemote.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

namespace {

// The context's manager when it shares buffers, else one of our own; of two
// servers on one such manager, only the first offered buffers gets them.
P<CSharedBufferMemoryManager> sharedBufferManagerOf(const P<lumo::IMemoryManager>& manager)
{
    P<CSharedBufferMemoryManager> shared = lumo::castObject<CSharedBufferMemoryManager>(manager, false);
    return shared ? shared : make<CSharedBufferMemoryManager>(manager);
}

} // namespace

CSourceServer::CSourceServer(P<lumo::IInStream> input, P<lumo::IOutStream> output, P<ISource> source,
                             P<INEBContext> context)
    : CRemoteStreamServer(input, std::move(output)),
      m_source(checkNotNull(std::move(source), "the source", "CSourceServer")),
      m_video(lumo::castObject<IVideoSource>(m_source, false)),
      m_audio(lumo::castObject<IAudioSource>(m_source, false)),
      m_facts(lumo::castObject<IMediumFactsSource>(m_source, false)),
      m_context(checkNotNull(std::move(context), "the context", "CSourceServer")),
      m_memoryManager(m_context->getMemoryManager()),
      m_sharedChannel(lumo::castObject<lumo::ISharedMemoryChannel>(input, false)),
      m_sharedBuffers(sharedBufferManagerOf(m_memoryManager))
{
    setMemoryManager(m_memoryManager);
    registerOperations();
    // Buffers can come only with a master's offer, which follows the reply
    // that announces this server.
    if (m_sharedChannel)
        m_sharedChannel->acceptSharedMemory();
}

CSourceServer::~CSourceServer() { stopThreadInDestructor(); }

void CSourceServer::registerOperations()
{
    NEBO_SOURCE_OPERATIONS(NEBO_REGISTER_REMOTE_OPERATION)
    NEBO_SOURCE_OBJECT_OPERATIONS(NEBO_REGISTER_REMOTE_OPERATION)
    NEBO_SHARED_PICTURE_OPERATIONS(NEBO_REGISTER_REMOTE_OPERATION)
    if (m_facts)
        registerProc(make<getMediumFactsOperation>(this));
}

lumo::String CSourceServer::getLog() { return takeLogText(*m_context); }
P<lumo::CURI> CSourceServer::getURI() { return m_source->getURI(); }

P<INEBPicture> CSourceServer::getNextPicture()
{
    P<INEBPicture> picture = m_video ? m_video->getNextPicture() : nullptr;
    if (!picture)
        return nullptr;
    return make<CNEBPictureRemote>(m_memoryManager, std::move(picture));
}

P<IAudioStreamInfos> CSourceServer::getAudioStreamInfos() { return m_audio ? m_audio->getAudioStreamInfos() : nullptr; }

void CSourceServer::setAudioStream(int32_t nAudioIndex)
{
    if (!m_audio)
        throw CNEBError("CSourceServer: the source has no sound");
    m_audio->setAudioStream(nAudioIndex);
}

P<audio::IAudioChunk> CSourceServer::getNextAudioChunk() { return m_audio ? m_audio->getNextAudioChunk() : nullptr; }

P<CMediumFacts> CSourceServer::getMediumFacts() { return m_facts ? m_facts->getMediumFacts() : nullptr; }

bool CSourceServer::offerSharedPictures()
{
    if (!m_sharedChannel || m_bSharing)
        return false;
    try {
        m_bSharing = m_sharedBuffers->takeBuffers(m_sharedChannel->takeSharedMemory());
    } catch (const lumo::CException&) {
        // Buffers that cannot be mapped leave the pipe to serve alone.
    }
    return m_bSharing;
}

P<lumo::ISerializable> CSourceServer::getNextSharedPicture(int32_t releasedBuffers)
{
    m_sharedBuffers->releaseToSlave(uint32_t(releasedBuffers));
    P<INEBPicture> picture = m_video ? m_video->getNextPicture() : nullptr;
    if (!picture)
        return nullptr;
    const SStoredPixels stored = picture->getStoredPixels();
    const int32_t index = stored.block && stored.bytes > 0
                              ? m_sharedBuffers->handOver(stored.block->getData(), stored.bytes)
                              : CSharedBufferMemoryManager::noBuffer;
    return make<CSharedPicture>(std::move(picture), m_memoryManager,
                                index == CSharedBufferMemoryManager::noBuffer ? CSharedPicture::pipeIndex : index);
}

} // namespace nebo::common
