#include "media/CNEBPictureRemote.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "media/CRGBPicture.h"
#include "media/makePicture.h"
#include "streams/CMemoryManager.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <limits>

namespace nebo::common {

CNEBPictureRemote::CNEBPictureRemote(lumo::P<lumo::IMemoryManager> manager, lumo::P<INEBPicture> picture)
    : m_memoryManager(manager ? std::move(manager) : lumo::getMemoryManager()), m_picture(std::move(picture)),
      m_maxWidth(std::numeric_limits<int32_t>::max()), m_maxHeight(std::numeric_limits<int32_t>::max())
{
}

void CNEBPictureRemote::setMaxSize(int32_t maxWidth, int32_t maxHeight)
{
    if (maxWidth < 0 || maxHeight < 0)
        throw lumo::CInvalidArgError("the bounds of a picture's size must not be negative", "setMaxSize", this);
    m_maxWidth = maxWidth;
    m_maxHeight = maxHeight;
}

lumo::P<INEBPicture> CNEBPictureRemote::getPicture() { return m_picture; }

void CNEBPictureRemote::write(lumo::IDataOutStream& out)
{
    if (!m_picture)
        throw lumo::CInvalidObjectStateError("there is no picture to write", this);
    out.writeInt32(m_picture->getType());
    m_picture->write(out);
}

bool CNEBPictureRemote::read(lumo::IDataInStream& in)
{
    m_picture = nullptr;
    lumo::P<CPictureBase> picture = makePicture(in.readInt32(), m_memoryManager, 0.0, nullptr, 0, 0, false);
    if (!picture)
        throw lumo::CException(lumo::String("CNEBPictureRemote: unknown picture type received"), lumo::String("Error"));
    const bool result = picture->readWithin(in, m_maxWidth, m_maxHeight);
    m_picture = std::move(picture);
    return result;
}

double CNEBPictureRemote::getTimestamp() { return 0.0; }

int32_t CNEBPictureRemote::getWidth() { return 0; }

int32_t CNEBPictureRemote::getHeight() { return 0; }

bool CNEBPictureRemote::isBottomUp() { return false; }

lumo::P<lumo::IMemoryBlock> CNEBPictureRemote::getRGBData(int32_t, int32_t, int32_t, int32_t) { return nullptr; }

void CNEBPictureRemote::copyRGB(uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t) {}

lumo::P<CRGBPicture> CNEBPictureRemote::getRGBPicture() { return nullptr; }

int32_t CNEBPictureRemote::getType() { return 0; }
SStoredPixels CNEBPictureRemote::getStoredPixels() { return {}; }

lumo::P<lumo::IMemoryBlock> CNEBPictureRemote::getImagePlane(int32_t, int32_t, int32_t, int32_t, int32_t)
{
    return nullptr;
}

void CNEBPictureRemote::fillBlack(uint8_t*, int32_t, int32_t, int32_t) {}

void CNEBPictureRemote::copyPlanes(uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                   int32_t)
{
}

lumo::String CNEBPictureRemote::getConverterName() { return lumo::String(); }

void CNEBPictureRemote::reduceQuarter() {}

} // namespace nebo::common
