#include "host/wire/CSharedPicture.h"

#include "foundation/CInvalidArgError.h"
#include "host/wire/CSharedPictureRing.h"
#include "media/CNEBError.h"
#include "media/CNEBPictureRemote.h"
#include "media/CPictureBase.h"
#include "media/SPictureHeader.h"
#include "media/makePicture.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::common {

namespace {

lumo::String sizeText(int32_t width, int32_t height)
{
    return lumo::String::fromInt(width) + lumo::String("x") + lumo::String::fromInt(height);
}

} // namespace

CSharedPicture::CSharedPicture(lumo::P<INEBPicture> picture, lumo::P<lumo::IMemoryManager> manager, int32_t index)
    : m_picture(std::move(picture)), m_memoryManager(std::move(manager)), m_index(index), m_maxWidth(0), m_maxHeight(0)
{
}

CSharedPicture::CSharedPicture(lumo::P<lumo::IMemoryManager> manager, lumo::P<CSharedPictureRing> ring,
                               int32_t maxWidth, int32_t maxHeight)
    : m_memoryManager(std::move(manager)), m_ring(std::move(ring)), m_index(pipeIndex), m_maxWidth(maxWidth),
      m_maxHeight(maxHeight)
{
}

void CSharedPicture::write(lumo::IDataOutStream& out)
{
    out.writeInt32(m_index);
    if (m_index == pipeIndex) {
        lumo::make<CNEBPictureRemote>(m_memoryManager, m_picture)->write(out);
        return;
    }
    const SStoredPixels stored = m_picture->getStoredPixels();
    out.writeInt32(m_picture->getType());
    SPictureHeader::of(*m_picture).write(out);
    out.writeInt32(stored.planeRows);
    out.writeInt32(0);
    out.writeInt32(static_cast<int32_t>(stored.bytes));
}

bool CSharedPicture::read(lumo::IDataInStream& in)
{
    m_picture = nullptr;
    const int32_t index = in.readInt32();
    if (index != pipeIndex)
        return readShared(in, index);
    const lumo::P<CNEBPictureRemote> remote = lumo::make<CNEBPictureRemote>(m_memoryManager);
    remote->setMaxSize(m_maxWidth, m_maxHeight);
    remote->read(in);
    m_picture = remote->getPicture();
    return true;
}

bool CSharedPicture::readShared(lumo::IDataInStream& in, int32_t index)
{
    const int32_t type = in.readInt32();
    const auto [timestamp, width, height, bottomUp] = SPictureHeader::read(in);
    const int32_t planeRows = in.readInt32();
    const int32_t offset = in.readInt32();
    const int32_t length = in.readInt32();
    if (width < 0 || height < 0 || width > m_maxWidth || height > m_maxHeight)
        throw CNEBError(lumo::String("a shared picture of ") + sizeText(width, height) +
                        lumo::String(" was received where at most ") + sizeText(m_maxWidth, m_maxHeight) +
                        lumo::String(" may come"));
    lumo::P<CPictureBase> picture;
    try {
        picture = makePicture(type, m_memoryManager, timestamp, m_ring->takeBlock(index, offset, length), width, height,
                              bottomUp, planeRows);
    } catch (const lumo::CInvalidArgError&) {
        // Shorter than the layout needs, or plane rows it cannot have: the
        // picture refused its block.
    }
    if (!picture)
        throw CNEBError(lumo::String("a shared picture of type ") + lumo::String::fromInt(type) +
                        lumo::String(" with ") + lumo::String::fromInt(length) + lumo::String(" bytes for ") +
                        sizeText(width, height) + lumo::String(" pixels in ") + lumo::String::fromInt(planeRows) +
                        lumo::String(" plane rows was received, which is no picture"));
    if (picture->getPixelBytes() != length)
        throw CNEBError(lumo::String("a shared picture's length of ") + lumo::String::fromInt(length) +
                        lumo::String(" bytes does not match its size and layout"));
    m_picture = std::move(picture);
    return true;
}

} // namespace nebo::common
