#pragma once

#include "host/plugin/CMediumFacts.h"

namespace nebo::common {

// What a source may add: the facts of its medium. A plugin's source offers
// it by deriving from this interface too; a master asks a served source
// through ISourceServer::getMediumFactsOperation, and a slave whose source
// lacks it answers "notfound", after which the master asks that slave
// nothing more.
class IMediumFactsSource : public virtual lumo::IBase {
public:
    // Valid once the source is opened; may throw any lumo::CException.
    virtual lumo::P<CMediumFacts> getMediumFacts() = 0;
};

} // namespace nebo::common
