#pragma once

#include "host/plugin/INEBPlugin.h"
#include "host/wire/TRemoteForwarders.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarObject.h"
#include "remote/CRemoteVarString.h"
#include "remote/CRemoteVarStruct.h"
#include "remote/CRemoteVarURI.h"

namespace nebo::common {

// A plugin served across a pipe, and the remote operations that carry it.
class INEBPluginRemote : public virtual INEBPlugin {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    struct getLogFunction
        : TForwardingFunction<INEBPluginRemote, lumo::CRemoteVarString, &INEBPluginRemote::getLog> {
        explicit getLogFunction(INEBPluginRemote* target = nullptr) : TForwardingFunction("getLog", target) {}
    };

    struct getPluginNameFunction
        : TForwardingFunction<INEBPluginRemote, lumo::CRemoteVarString, &INEBPlugin::getPluginName> {
        explicit getPluginNameFunction(INEBPluginRemote* target = nullptr)
            : TForwardingFunction("getPluginName", target)
        {
        }
    };

    struct getValidTypesFunction
        : TForwardingFunction<INEBPluginRemote, lumo::CRemoteVarInteger, &INEBPlugin::getValidTypes> {
        explicit getValidTypesFunction(INEBPluginRemote* target = nullptr)
            : TForwardingFunction("getValidTypes", target)
        {
        }
    };

    // ("nTypes") → the extension list as an object.
    class getValidExtensionsFunction : public lumo::CRemoteFunction {
    public:
        explicit getValidExtensionsFunction(INEBPluginRemote* target = nullptr);
        void execute() override;

        const lumo::P<lumo::CRemoteVarInteger> types = lumo::make<lumo::CRemoteVarInteger>("nTypes");
        const lumo::P<lumo::CRemoteVarObject> result = lumo::make<lumo::CRemoteVarObject>("Result");

    private:
        INEBPluginRemote* const m_target;
    };

    // ("uri", "nTypes", "bDontCloseAfterTesting", "pParams") → the source
    // server as an object, or null.
    class tryCreateSourceFunction : public lumo::CRemoteFunction {
    public:
        explicit tryCreateSourceFunction(INEBPluginRemote* target = nullptr);
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
