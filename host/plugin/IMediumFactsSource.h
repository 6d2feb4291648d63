#pragma once

#include "host/plugin/CMediumFacts.h"
#include "host/wire/TRemoteForwarders.h"
#include "remote/CRemoteVarObject.h"

namespace nebo::common {

// What a source may add: the facts of its medium. A plugin's source offers
// it by deriving from this interface too; a master asks a served source
// through getMediumFactsFunction, and a slave whose source lacks it answers
// "notfound", after which the master asks that slave nothing more.
class IMediumFactsSource : public virtual lumo::IBase {
public:
    // Valid once the source is opened; may throw any lumo::CException.
    virtual lumo::P<CMediumFacts> getMediumFacts() = 0;

    // Without parameters, so that a peer that knows no such function leaves
    // nothing of the request unread when it answers "notfound".
    struct getMediumFactsFunction
        : TForwardingFunction<IMediumFactsSource, lumo::CRemoteVarObject, &IMediumFactsSource::getMediumFacts> {
        explicit getMediumFactsFunction(IMediumFactsSource* target = nullptr)
            : TForwardingFunction("getMediumFacts", target)
        {
        }
    };
};

} // namespace nebo::common
