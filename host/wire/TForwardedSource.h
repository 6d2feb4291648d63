#pragma once

#include "host/wire/ISourceServer.h"

namespace nebo::common {

// Overrides every operation of NEBO_SOURCE_OPERATIONS with a call of
// side.forwardOperation<Operation>(arguments...), `Operation` being the
// member's ISourceServer operation, so that each side says once how it
// carries a plain call. `Side` derives from this class and befriends it.
template <class Side> class TForwardedSource : public virtual IVideoSource, public virtual IAudioSource {
public:
    using Served = ISourceServer;
    NEBO_SOURCE_OPERATIONS(NEBO_FORWARD_REMOTE_OPERATION)

private:
    template <class Operation, class... Arguments> typename Operation::Result forward(Arguments... arguments)
    {
        return static_cast<Side*>(this)->template forwardOperation<Operation>(arguments...);
    }
};

} // namespace nebo::common
