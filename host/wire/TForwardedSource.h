#pragma once

#include "host/wire/ISourceServer.h"

namespace nebo::common {

// Overrides every operation of NEBO_SOURCE_OPERATIONS by handing the call
// to `Side`: side.forwardOperation<Operation>(arguments...), where
// `Operation` is the member's remote operation of ISourceServer. So each
// side of the wire says once how it carries a plain call (the slave to its
// plugin's source, the client to its peer, the boxed source to its slave)
// and overrides again only where it does more. `Side` derives from this
// class and befriends it.
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
