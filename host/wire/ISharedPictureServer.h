#pragma once

#include "host/wire/TRemoteForwarders.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarObject.h"

namespace nebo::common {

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
    virtual bool acceptSharedPictures() = 0;
    // The next picture, in a shared buffer when one is free and large
    // enough, else on the pipe; null when there is none. `releasedBuffers`
    // has bit i set for each buffer i the master let go of since its last
    // call.
    virtual lumo::P<lumo::ISerializable> getNextSharedPicture(int32_t releasedBuffers) = 0;

    // Without parameters, so that a peer that knows no such function leaves
    // nothing of the request unread when it answers "notfound".
    struct offerSharedPicturesFunction
        : TForwardingFunction<ISharedPictureServer, lumo::CRemoteVarBool, &ISharedPictureServer::acceptSharedPictures> {
        explicit offerSharedPicturesFunction(ISharedPictureServer* target = nullptr)
            : TForwardingFunction("offerSharedPictures", target)
        {
        }
    };

    struct getNextSharedPictureFunction : lumo::CRemoteFunction {
        explicit getNextSharedPictureFunction(ISharedPictureServer* target = nullptr)
            : CRemoteFunction("getNextSharedPicture"), m_target(target)
        {
            addParameter(releasedBuffers);
            addResult(result);
        }

        void execute() override { result->setValue(m_target->getNextSharedPicture(releasedBuffers->getValue())); }

        const lumo::P<lumo::CRemoteVarInteger> releasedBuffers = lumo::make<lumo::CRemoteVarInteger>("nReleased");
        const lumo::P<lumo::CRemoteVarObject> result = lumo::make<lumo::CRemoteVarObject>("Result");

    private:
        ISharedPictureServer* const m_target;
    };
};

} // namespace nebo::common
