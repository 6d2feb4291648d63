#include "media/SPictureHeader.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::common {

SPictureHeader SPictureHeader::of(INEBPicture& picture)
{
    return {picture.getTimestamp(), picture.getWidth(), picture.getHeight(), picture.isBottomUp()};
}

SPictureHeader SPictureHeader::read(lumo::IDataInStream& in)
{
    SPictureHeader header;
    header.timestamp = in.readDouble();
    header.width = in.readInt32();
    header.height = in.readInt32();
    header.bottomUp = in.readBool();
    return header;
}

void SPictureHeader::write(lumo::IDataOutStream& out) const
{
    out.writeDouble(timestamp);
    out.writeInt32(width);
    out.writeInt32(height);
    out.writeBool(bottomUp);
}

} // namespace nebo::common
