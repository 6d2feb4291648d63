#pragma once

#include "foundation/P.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace lumo {

// One end of a remote-call connection.
class IRemote : public virtual IBase {
public:
    // Serves one request arriving from the peer; true once a procedure ran.
    virtual bool processNext() = 0;
    // Ends the conversation: a calling endpoint tells its peer, a serving
    // endpoint raises its own quit signal.
    virtual void quit() = 0;
    virtual P<IDataInStream> getDataInStream() = 0;
    virtual P<IDataOutStream> getDataOutStream() = 0;
};

} // namespace lumo
