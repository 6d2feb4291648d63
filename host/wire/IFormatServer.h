#pragma once

#include "host/plugin/IAudioFormat.h"
#include "host/wire/TRemoteForwarders.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarString.h"
#include "remote/CRemoteVarURI.h"
#include "streams/ISerializable.h"

namespace nebo::common {

// A format served across a pipe, and the remote operations that carry it.
// Like a source server it crosses the pipe with an empty body.
class IFormatServer : public virtual IAudioFormat, public virtual lumo::ISerializable {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    void write(lumo::IDataOutStream&) override {}
    bool read(lumo::IDataInStream&) override { return true; }

    template <class ResultVar, auto Operation>
    using TFunction = TForwardingFunction<IFormatServer, ResultVar, Operation>;
    template <auto Operation> using TProc = TForwardingProc<IFormatServer, Operation>;

    struct getLogFunction : TFunction<lumo::CRemoteVarString, &IFormatServer::getLog> {
        explicit getLogFunction(IFormatServer* target = nullptr) : TForwardingFunction("getLog", target) {}
    };
    struct isOpenedFunction : TFunction<lumo::CRemoteVarBool, &IFormat::isOpened> {
        explicit isOpenedFunction(IFormatServer* target = nullptr) : TForwardingFunction("isOpened", target) {}
    };
    struct openProc : TProc<&IFormat::open> {
        explicit openProc(IFormatServer* target = nullptr) : TForwardingProc("open", target) {}
    };
    struct closeProc : TProc<&IFormat::close> {
        explicit closeProc(IFormatServer* target = nullptr) : TForwardingProc("close", target) {}
    };
    struct getURIFunction : TFunction<lumo::CRemoteVarURI, &IFormat::getURI> {
        explicit getURIFunction(IFormatServer* target = nullptr) : TForwardingFunction("getURI", target) {}
    };
    struct getPluginNameFunction : TFunction<lumo::CRemoteVarString, &IFormat::getPluginName> {
        explicit getPluginNameFunction(IFormatServer* target = nullptr)
            : TForwardingFunction("getPluginName", target)
        {
        }
    };
    struct encodeProc : TProc<&IFormat::encode> {
        explicit encodeProc(IFormatServer* target = nullptr) : TForwardingProc("encode", target) {}
    };
};

} // namespace nebo::common
