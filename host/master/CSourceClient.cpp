#include "host/master/CSourceClient.h"

#include "foundation/castObject.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "host/common/checkNotNull.h"
#include "host/plugin/CAudioStreamInfos.h"
#include "host/wire/CSharedPicture.h"
#include "host/wire/CSharedPictureRing.h"
#include "host/wire/ISharedPictureServer.h"
#include "media/CAudioChunk.h"
#include "media/CNEBError.h"
#include "media/CNEBPictureRemote.h"
#include "remote/CRemoteException.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nebo::common {

using lumo::make;
using lumo::P;

namespace {

// The shared path is on unless switched off; the pipe alone serves then.
P<lumo::ISharedMemoryChannel> sharedChannelOf(const P<lumo::IOutStream>& output)
{
    const char* setting = std::getenv("NEBO_SHARED_PICTURES");
    if (setting && std::strcmp(setting, "off") == 0)
        return nullptr;
    return lumo::castObject<lumo::ISharedMemoryChannel>(output, false);
}

} // namespace

CSourceClient::CSourceClient(P<lumo::IInStream> input, P<lumo::IOutStream> output,
                             P<lumo::IMemoryManager> memoryManager)
    : CRemoteStreamClient(std::move(input), output),
      m_memoryManager(checkNotNull(std::move(memoryManager), "the memory manager", "CSourceClient")),
      m_sizeLock(lumo::getMutexFactory()->createMutex()), m_sharedChannel(sharedChannelOf(output))
{
    setMemoryManager(m_memoryManager);
    setLimits(m_limits);
}

void CSourceClient::setLimits(const SSlaveLimits& limits)
{
    m_limits = limits;
    getDataInStream()->setMaxStringBytes(limits.maxStringBytes);
    getDataInStream()->setMaxItemCount(limits.maxItemCount);
}

lumo::String CSourceClient::getLog() { return callRemote<getLogOperation>(*this); }

void CSourceClient::open()
{
    callRemote<openOperation>(*this);
    forgetAnnouncedSize();
}

void CSourceClient::close()
{
    callRemote<closeOperation>(*this);
    forgetAnnouncedSize();
}

P<lumo::CURI> CSourceClient::getURI()
{
    const P<lumo::IURI> uri = callRemote<getURIOperation>(*this);
    return uri ? make<lumo::CURI>(uri->getText()) : nullptr;
}

void CSourceClient::setMaxSize(int32_t nWidth, int32_t nHeight)
{
    callRemote<setMaxSizeOperation>(*this, nWidth, nHeight);
    forgetAnnouncedSize();
}

int32_t CSourceClient::getWidth()
{
    return learnAnnouncedSide(m_announcedSize.width, callRemote<getWidthOperation>(*this), "width");
}

int32_t CSourceClient::getHeight()
{
    return learnAnnouncedSide(m_announcedSize.height, callRemote<getHeightOperation>(*this), "height");
}

int32_t CSourceClient::learnAnnouncedSide(std::optional<int32_t>& known, int32_t side, const char* name)
{
    if (side < 0 || side > m_limits.maxPictureSide)
        throw CNEBError(lumo::String("the source announces a picture ") + lumo::String(name) + lumo::String(" of ") +
                        lumo::String::fromInt(side) + lumo::String(", allowed are 0 to ") +
                        lumo::String::fromInt(m_limits.maxPictureSide));
    lumo::CScopedLock lock(m_sizeLock);
    known = side;
    return side;
}

CSourceClient::SPictureSize CSourceClient::getAnnouncedSize()
{
    SKnownSize known;
    {
        lumo::CScopedLock lock(m_sizeLock);
        known = m_announcedSize;
    }
    const SPictureSize size{known.width ? *known.width : getWidth(), known.height ? *known.height : getHeight()};
    if (int64_t{size.width} * size.height > m_limits.maxPicturePixels)
        throw CNEBError(lumo::String("the source announces pictures of ") + lumo::String::fromInt(size.width) +
                        lumo::String("x") + lumo::String::fromInt(size.height) +
                        lumo::String(" pixels, more than the ") + lumo::String::fromInt(m_limits.maxPicturePixels) +
                        lumo::String(" allowed"));
    return size;
}

void CSourceClient::forgetAnnouncedSize()
{
    lumo::CScopedLock lock(m_sizeLock);
    m_announcedSize = {};
}

P<INEBPicture> CSourceClient::getNextPicture()
{
    const SPictureSize bound = getAnnouncedSize();
    if (const P<CSharedPictureRing> ring = getSharedRing(bound))
        return getNextSharedPicture(ring, bound);
    const P<CNEBPictureRemote> preset = make<CNEBPictureRemote>(m_memoryManager);
    preset->setMaxSize(bound.width, bound.height);
    getNextPictureOperation operation;
    // What arrives is read into the preset, or the null flag came.
    return callObject(operation, preset) ? preset->getPicture() : nullptr;
}

P<CSharedPictureRing> CSourceClient::getSharedRing(const SPictureSize& bound)
{
    const int64_t bufferBytes = int64_t{bound.width} * bound.height * sharedBytesPerPixel;
    if (m_sharedRing || m_bSharedOffered || !m_sharedChannel || bufferBytes == 0)
        return m_sharedRing;
    m_bSharedOffered = true;
    P<CSharedPictureRing> ring;
    try {
        const int64_t count = std::clamp<int64_t>(sharedRingMaxBytes / bufferBytes, 1, sharedRingBuffers);
        ring = make<CSharedPictureRing>(int32_t(count), bufferBytes);
    } catch (const lumo::CException&) {
        // The system grants no shared memory: the pipe still serves.
        return nullptr;
    }
    m_sharedChannel->sendWithNextWrite(ring->getBuffers());
    try {
        if (callRemote<ISharedPictureServer::offerSharedPicturesOperation>(*this))
            m_sharedRing = std::move(ring);
    } catch (const lumo::CRemoteException& error) {
        // A peer without shared pictures answered "notfound", whole, so the
        // pipe goes on in step; any other failure is the call's.
        if (!error.isProcedureNotFound())
            throw;
    }
    return m_sharedRing;
}

P<INEBPicture> CSourceClient::getNextSharedPicture(const P<CSharedPictureRing>& ring, const SPictureSize& bound)
{
    ISharedPictureServer::getNextSharedPictureOperation operation;
    operation.setArguments(ring->takeReleased());
    const P<CSharedPicture> preset = make<CSharedPicture>(m_memoryManager, ring, bound.width, bound.height);
    return callObject(operation, preset) ? preset->getPicture() : nullptr;
}

P<IAudioStreamInfos> CSourceClient::getAudioStreamInfos()
{
    getAudioStreamInfosOperation operation;
    return callInto(operation, make<CAudioStreamInfos>());
}

P<CMediumFacts> CSourceClient::getMediumFacts()
{
    if (m_bFactsNotFound)
        return nullptr;
    getMediumFactsOperation operation;
    try {
        return callInto(operation, make<CMediumFacts>());
    } catch (const lumo::CRemoteException& error) {
        // "notfound" arrives whole, so the pipe stays in step.
        if (!error.isProcedureNotFound())
            throw;
        m_bFactsNotFound = true;
        return nullptr;
    }
}

P<audio::IAudioChunk> CSourceClient::getNextAudioChunk()
{
    getNextAudioChunkOperation operation;
    const P<audio::CAudioChunk> preset = make<audio::CAudioChunk>(0.0, m_memoryManager->allocate(audioChunkPresetSize));
    preset->setMaxDataSize(m_limits.maxAudioChunkBytes);
    return callInto(operation, preset);
}

} // namespace nebo::common
