#pragma once

#include "remote/CRemoteProc.h"

namespace lumo {

// A procedure without reply: its caller does not wait for the peer.
class CRemoteVoid : public CRemoteProc {
public:
    bool isVoid() const final;

protected:
    explicit CRemoteVoid(const String& name);
};

} // namespace lumo
