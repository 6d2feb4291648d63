#pragma once

#include "host/plugin/INEBPlugin.h"
#include "host/wire/TRemoteOperation.h"
#include "remote/CRemoteVarStruct.h"

namespace nebo::common {

// The remote operations of a served plugin, declared as the source's are
// (see NEBO_SOURCE_OPERATIONS); tryCreateSource, whose URI and parameter
// record travel as the wire's own kinds, is written out below.
#define NEBO_PLUGIN_OPERATIONS(X)                                                                                      \
    X(INEBPluginRemote, getLog)                                                                                        \
    X(INEBPlugin, getPluginName)                                                                                       \
    X(INEBPlugin, getValidTypes)                                                                                       \
    X(INEBPlugin, getValidExtensions, nTypes)

// A plugin served across a pipe, and the remote operations that carry it.
class INEBPluginRemote : public virtual INEBPlugin {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    using Served = INEBPluginRemote;
    NEBO_PLUGIN_OPERATIONS(NEBO_REMOTE_OPERATION)

    // ("uri", "nTypes", "bDontCloseAfterTesting", "pParams") → the source
    // server as an object, or null.
    class tryCreateSourceOperation : public lumo::CRemoteFunction {
    public:
        explicit tryCreateSourceOperation(INEBPluginRemote* target = nullptr);
        void execute() override;

        const lumo::P<lumo::CRemoteVarURI> uri = lumo::make<lumo::CRemoteVarURI>("uri");
        const lumo::P<lumo::CRemoteVarInteger> types = lumo::make<lumo::CRemoteVarInteger>("nTypes");
        const lumo::P<lumo::CRemoteVarBool> dontCloseAfterTesting =
            lumo::make<lumo::CRemoteVarBool>("bDontCloseAfterTesting");
        // Sixteen zero bytes stand for absent parameters.
        const lumo::P<lumo::CRemoteVarStruct<SSourceParams>> params =
            lumo::make<lumo::CRemoteVarStruct<SSourceParams>>("pParams", SSourceParams{0, 0, 0, 0});
        const lumo::P<lumo::CRemoteVarObject> result = lumo::make<lumo::CRemoteVarObject>("Result");

    private:
        INEBPluginRemote* const m_target;
    };
};

} // namespace nebo::common
