#pragma once

#include "media/INEBPicture.h"

namespace nebo::common {

// Carries a picture of any layout across the pipe: the type code ahead of
// the picture's own body. Its own picture operations answer neutral values;
// users take the picture.
class INEBPictureRemote : public virtual INEBPicture {
public:
    // The wrapped picture; null until one is given or read.
    virtual lumo::P<INEBPicture> getPicture() = 0;
};

} // namespace nebo::common
