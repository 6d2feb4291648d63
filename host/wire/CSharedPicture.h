#pragma once

#include "foundation/CObject.h"
#include "media/INEBPicture.h"
#include "streams/IMemoryManager.h"
#include "streams/ISerializable.h"

namespace nebo::common {

class CSharedPictureRing;

// The picture wrapper of a connection with shared picture buffers. On the
// wire the buffer's index comes first: pipeIndex, then the picture as
// CNEBPictureRemote writes it; or a buffer's index, then the picture's
// header and the offset and length of its pixels there. Not locked.
class CSharedPicture : public lumo::CObject, public virtual lumo::ISerializable {
public:
    static constexpr int32_t pipeIndex = -1;

    // The slave's side: `picture` (not null), whose pixels the caller put at
    // the start of buffer `index`, or pipeIndex to send them on the pipe.
    CSharedPicture(lumo::P<INEBPicture> picture, lumo::P<lumo::IMemoryManager> manager, int32_t index);
    // The master's side: reads into a new picture whose pixels stay in
    // `ring`, or come from `manager` for a picture on the pipe; a picture
    // wider than `maxWidth` or higher than `maxHeight` is refused.
    CSharedPicture(lumo::P<lumo::IMemoryManager> manager, lumo::P<CSharedPictureRing> ring, int32_t maxWidth,
                   int32_t maxHeight);

    // The picture written or read; null before a read.
    lumo::P<INEBPicture> getPicture() const { return m_picture; }

    void write(lumo::IDataOutStream& out) override;
    // Throws CNEBError, before any pixel is touched, for a size beyond the
    // bounds, an unknown type code, plane rows the layout refuses (see
    // CPictureBase::getPlaneRows), an index, offset or length that the ring
    // refuses, or a length other than the layout's for the size and plane
    // rows; a picture on the pipe fails as CNEBPictureRemote's read does.
    bool read(lumo::IDataInStream& in) override;

private:
    bool readShared(lumo::IDataInStream& in, int32_t index);

    lumo::P<INEBPicture> m_picture;
    const lumo::P<lumo::IMemoryManager> m_memoryManager;
    const lumo::P<CSharedPictureRing> m_ring;
    const int32_t m_index;
    const int32_t m_maxWidth;
    const int32_t m_maxHeight;
};

} // namespace nebo::common
