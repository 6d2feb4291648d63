#include "host/master/CNEBPluginClient.h"

#include "host/common/checkNotNull.h"
#include "host/master/CSourceClient.h"
#include "host/plugin/CPluginExtensions.h"

namespace nebo::common {

using lumo::make;
using lumo::P;

CNEBPluginClient::CNEBPluginClient(P<lumo::IInStream> input, P<lumo::IOutStream> output,
                                   P<lumo::IMemoryManager> memoryManager)
    : CRemoteStreamClient(input, output), m_input(std::move(input)), m_output(std::move(output)),
      m_memoryManager(checkNotNull(std::move(memoryManager), "the memory manager", "CNEBPluginClient"))
{
    setMemoryManager(m_memoryManager);
    setLimits(m_limits);
}

void CNEBPluginClient::setLimits(const SSlaveLimits& limits)
{
    m_limits = limits;
    getDataInStream()->setMaxStringBytes(limits.maxStringBytes);
    getDataInStream()->setMaxItemCount(limits.maxItemCount);
}

lumo::String CNEBPluginClient::getLog() { return callRemote<getLogOperation>(*this); }
lumo::String CNEBPluginClient::getPluginName() { return callRemote<getPluginNameOperation>(*this); }
int32_t CNEBPluginClient::getValidTypes() { return callRemote<getValidTypesOperation>(*this); }

P<IPluginExtensions> CNEBPluginClient::getValidExtensions(int32_t nTypes)
{
    getValidExtensionsOperation operation;
    operation.setArguments(nTypes);
    return callInto(operation, make<CPluginExtensions>());
}

P<ISource> CNEBPluginClient::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams)
{
    tryCreateSourceOperation operation;
    operation.uri->setValue(make<lumo::CURI>(uri.getText()));
    operation.types->setValue(nTypes);
    operation.dontCloseAfterTesting->setValue(bDontCloseAfterTesting);
    if (pParams)
        operation.params->setValue(*pParams);
    const P<CSourceClient> source = make<CSourceClient>(m_input, m_output, m_memoryManager);
    source->setLimits(m_limits);
    return callInto(operation, source);
}

P<IFormat> CNEBPluginClient::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*) { return nullptr; }

} // namespace nebo::common
