#pragma once

#include "host/common/IPluginHandler.h"
#include "host/plugin/INEBContext.h"
#include "host/slave/CFormatServer.h"
#include "host/slave/CSourceServer.h"
#include "host/wire/INEBPluginRemote.h"
#include "remote/CRemoteStreamServer.h"

namespace nebo::common {

// Serves the first plugin of a handler on a pipe. Once the
// plugin made a source for the master, a source server on the same streams
// takes over: from then on every request goes to it, "Quit" included.
// Used from the one serving thread.
class CNEBPluginServer : public lumo::CRemoteStreamServer, public virtual INEBPluginRemote {
public:
    // Serves `handler`'s plugins, loaded with `context` (the slave loads
    // them before it serves, a launcher once for all its children). Throws
    // CError when the handler holds none, CInvalidArgError when a stream,
    // the context or the handler is null.
    CNEBPluginServer(lumo::P<lumo::IInStream> input, lumo::P<lumo::IOutStream> output, lumo::P<INEBContext> context,
                     lumo::P<IPluginHandler> handler);
    ~CNEBPluginServer() override;

    // Serves the next request, or lets the source server serve it.
    bool processNext() override;

    lumo::String getLog() override;
    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // Bits 1 and 2 of `nTypes` choose the kind; any other request gives
    // null. A source that comes back replaces the current source server.
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    // Bits 8 and 16 likewise; no remote call reaches this.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    INEBPlugin& firstPlugin();

    const lumo::P<lumo::IInStream> m_input;
    const lumo::P<lumo::IOutStream> m_output;
    const lumo::P<INEBContext> m_context;
    // Declared before the servers so that the plugin's objects they hold go
    // before the libraries that hold the plugin's code.
    const lumo::P<IPluginHandler> m_handler;
    lumo::P<CSourceServer> m_sourceServer;
    lumo::P<CFormatServer> m_formatServer;
};

} // namespace nebo::common
