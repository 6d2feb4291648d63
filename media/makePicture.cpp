#include "media/makePicture.h"

#include "foundation/CInvalidArgError.h"
#include "media/CNV12Picture.h"
#include "media/CRGBPicture.h"
#include "media/CYUY2Picture.h"
#include "media/CYV12Picture.h"

namespace nebo::common {

lumo::P<CPictureBase> makePicture(int32_t type, lumo::P<lumo::IMemoryManager> manager, double timestamp,
                                  lumo::P<lumo::IMemoryBlock> block, int32_t width, int32_t height, bool bottomUp,
                                  int32_t planeRows)
{
    const bool bOnePlane = type == rgbPictureType || type == yuy2PictureType;
    if (bOnePlane && planeRows != 0 && planeRows != height)
        throw lumo::CInvalidArgError("a picture of one plane has no room between planes", "makePicture", nullptr);
    switch (type) {
    case rgbPictureType:
        return lumo::make<CRGBPicture>(std::move(manager), timestamp, std::move(block), width, height, bottomUp);
    case yuy2PictureType:
        return lumo::make<CYUY2Picture>(std::move(manager), timestamp, std::move(block), width, height, bottomUp);
    case nv12PictureType:
        return lumo::make<CNV12Picture>(std::move(manager), timestamp, std::move(block), width, height, bottomUp,
                                        planeRows);
    case yv12PictureType:
        return lumo::make<CYV12Picture>(std::move(manager), timestamp, std::move(block), width, height, bottomUp,
                                        planeRows);
    default:
        return nullptr;
    }
}

} // namespace nebo::common
