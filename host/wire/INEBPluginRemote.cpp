#include "host/wire/INEBPluginRemote.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/castObject.h"

namespace nebo::common {

INEBPluginRemote::tryCreateSourceOperation::tryCreateSourceOperation(INEBPluginRemote* target)
    : CRemoteFunction("tryCreateSource"), m_target(target)
{
    addParameter(uri);
    addParameter(types);
    addParameter(dontCloseAfterTesting);
    addParameter(params);
    addResult(result);
}

void INEBPluginRemote::tryCreateSourceOperation::execute()
{
    const lumo::P<lumo::IURI> requested = uri->getValue();
    if (!requested)
        throw lumo::CInvalidArgError("the URI must not be null", "tryCreateSource");
    const SSourceParams sourceParams = params->getValue();
    const lumo::P<ISource> source =
        m_target->tryCreateSource(*requested, types->getValue(), dontCloseAfterTesting->getValue(), &sourceParams);
    result->setValue(lumo::castObject<lumo::ISerializable>(source));
}

} // namespace nebo::common
