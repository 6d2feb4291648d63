#include "host/slave/CNEBPluginServer.h"

#include "foundation/CError.h"
#include "host/common/checkNotNull.h"
#include "host/slave/takeLogText.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

namespace {

P<IPluginHandler> requirePlugins(P<IPluginHandler> handler)
{
    handler = checkNotNull(std::move(handler), "the plugin handler", "CNEBPluginServer");
    if (handler->getPluginCount() == 0)
        throw lumo::CError("CNEBPluginServer at least one plugin has to be registeres in plugin context!");
    return handler;
}

INEBPlugin::SSourceParams paramsOrZeros(const INEBPlugin::SSourceParams* pParams)
{
    return pParams ? *pParams : INEBPlugin::SSourceParams{0, 0, 0, 0};
}

} // namespace

CNEBPluginServer::CNEBPluginServer(P<lumo::IInStream> input, P<lumo::IOutStream> output, P<INEBContext> context,
                                   P<IPluginHandler> handler)
    : CRemoteStreamServer(input, output), m_input(std::move(input)), m_output(std::move(output)),
      m_context(checkNotNull(std::move(context), "the context", "CNEBPluginServer")),
      m_handler(requirePlugins(std::move(handler)))
{
    setMemoryManager(m_context->getMemoryManager());
    NEBO_PLUGIN_OPERATIONS(NEBO_REGISTER_REMOTE_OPERATION)
    registerProc(make<tryCreateSourceOperation>(this));
}

CNEBPluginServer::~CNEBPluginServer() { stopThreadInDestructor(); }

bool CNEBPluginServer::processNext()
{
    if (m_sourceServer)
        return m_sourceServer->processNext();
    return CRemoteStreamServer::processNext();
}

INEBPlugin& CNEBPluginServer::firstPlugin() { return *m_handler->getPlugin(0); }

lumo::String CNEBPluginServer::getLog() { return takeLogText(*m_context); }
lumo::String CNEBPluginServer::getPluginName() { return firstPlugin().getPluginName(); }
int32_t CNEBPluginServer::getValidTypes() { return firstPlugin().getValidTypes(); }

P<IPluginExtensions> CNEBPluginServer::getValidExtensions(int32_t nTypes)
{
    return firstPlugin().getValidExtensions(nTypes);
}

P<ISource> CNEBPluginServer::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams)
{
    const SSourceParams params = paramsOrZeros(pParams);
    P<ISource> source;
    switch (nTypes & (pictureSourceType | soundSourceType)) {
    case pictureSourceType | soundSourceType:
        source =
            m_handler->tryCreateSource(uri, params.nValue1, params.nValue2, params.nValue3, bDontCloseAfterTesting);
        break;
    case pictureSourceType:
        source = m_handler->tryCreateVideoSource(uri, bDontCloseAfterTesting);
        break;
    case soundSourceType:
        source = m_handler->tryCreateAudioSource(uri, params.nValue1, params.nValue2, params.nValue3,
                                                 bDontCloseAfterTesting);
        break;
    }
    if (!source)
        return nullptr;
    m_sourceServer = make<CSourceServer>(m_input, m_output, std::move(source), m_context);
    return m_sourceServer;
}

P<IFormat> CNEBPluginServer::tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams)
{
    const SSourceParams params = paramsOrZeros(pParams);
    P<IFormat> format;
    switch (nTypes & (formatType | soundFormatType)) {
    case formatType | soundFormatType:
        format =
            m_handler->tryCreateFormat(uri, params.nValue1, params.nValue2, params.nValue3, bDontCloseAfterTesting);
        break;
    case formatType:
        format = m_handler->tryCreateVideoFormat(uri, bDontCloseAfterTesting);
        break;
    case soundFormatType:
        format = m_handler->tryCreateAudioFormat(uri, params.nValue1, params.nValue2, params.nValue3,
                                                 bDontCloseAfterTesting);
        break;
    }
    if (!format)
        return nullptr;
    m_formatServer = make<CFormatServer>(m_input, m_output, std::move(format), m_context);
    return m_formatServer;
}

} // namespace nebo::common
