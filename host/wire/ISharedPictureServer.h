#pragma once

#include "host/wire/TRemoteOperation.h"

namespace nebo::common {

// The remote operations of shared pictures, declared as the source's are
// (see NEBO_SOURCE_OPERATIONS). The offer has no parameters, so that a peer
// that knows no such function leaves nothing of the request unread when it
// answers "notfound".
#define NEBO_SHARED_PICTURE_OPERATIONS(X)                                                                              \
    X(ISharedPictureServer, offerSharedPictures)                                                                       \
    X(ISharedPictureServer, getNextSharedPicture, nReleased)

// What a source server adds for a master that offers shared picture
// buffers, and the remote functions that carry it. A master that never
// offers never calls them; one whose peer answers the offer "notfound"
// goes on with the pipe alone.
class ISharedPictureServer : public virtual lumo::IBase {
public:
    // The most buffers a ring holds: each has one bit of a 32-bit mask.
    static constexpr int32_t maxRingBuffers = 31;

    // Takes the buffers that came with the offer's request; true when they
    // make a ring (1 to maxRingBuffers buffers of one size), false to stay
    // with the pipe.
    virtual bool offerSharedPictures() = 0;
    // The next picture, in a shared buffer when one is free and large
    // enough, else on the pipe; null when there is none. `releasedBuffers`
    // has bit i set for each buffer i the master let go of since its last
    // call.
    virtual lumo::P<lumo::ISerializable> getNextSharedPicture(int32_t releasedBuffers) = 0;

    using Served = ISharedPictureServer;
    NEBO_SHARED_PICTURE_OPERATIONS(NEBO_REMOTE_OPERATION)
};

} // namespace nebo::common
