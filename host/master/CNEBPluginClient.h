#pragma once

#include "host/plugin/SSlaveLimits.h"
#include "host/wire/INEBPluginRemote.h"
#include "remote/CRemoteStreamClient.h"
#include "streams/IMemoryManager.h"

namespace nebo::common {

// The master's view of the plugin a slave serves: every operation is a
// remote call on the pipe, which a source client made here then takes over.
// Calls throw what the call throws (the pipe's errors, CRemoteException). A
// string or list in a reply beyond the client's SSlaveLimits throws
// CParseError before memory is taken for it, leaving the reply half read:
// the slave must then be ended.
class CNEBPluginClient : public lumo::CRemoteStreamClient, public virtual INEBPluginRemote {
public:
    // Throws CInvalidArgError when a stream or the memory manager is null.
    // Holds to the default limits until setLimits.
    CNEBPluginClient(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output,
                     lumo::P<lumo::IMemoryManager> memoryManager);

    // The limits for every reply from now on, and for every source client
    // made afterwards. Set before other threads use the client.
    void setLimits(const SSlaveLimits& limits);

    lumo::String getLog() override;
    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // A source client holding to this client's limits, or null when the
    // plugin made no source. Null parameters travel as sixteen zero bytes.
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    // Formats are not served across the pipe: always null, nothing is sent.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    const lumo::P<lumo::IInStream> m_input;
    const lumo::P<lumo::IOutStream> m_output;
    const lumo::P<lumo::IMemoryManager> m_memoryManager;
    SSlaveLimits m_limits;
};

} // namespace nebo::common
