#pragma once

#include "host/plugin/IAudioFormat.h"
#include "host/wire/TRemoteOperation.h"
#include "streams/ISerializable.h"

namespace nebo::common {

// The remote operations of a served format, declared as the source's are
// (see NEBO_SOURCE_OPERATIONS).
#define NEBO_FORMAT_OPERATIONS(X)                                                                                      \
    X(IFormatServer, getLog)                                                                                           \
    X(IFormat, isOpened)                                                                                               \
    X(IFormat, open)                                                                                                   \
    X(IFormat, close)                                                                                                  \
    X(IFormat, getURI)                                                                                                 \
    X(IFormat, getPluginName)                                                                                          \
    X(IFormat, encode)

// A format served across a pipe, and the remote operations that carry it.
// Like a source server it crosses the pipe with an empty body.
class IFormatServer : public virtual IAudioFormat, public virtual lumo::ISerializable {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    void write(lumo::IDataOutStream&) override {}
    bool read(lumo::IDataInStream&) override { return true; }

    using Served = IFormatServer;
    NEBO_FORMAT_OPERATIONS(NEBO_REMOTE_OPERATION)
};

} // namespace nebo::common
