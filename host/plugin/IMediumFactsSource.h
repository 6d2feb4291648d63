#pragma once

#include "host/plugin/CMediumFacts.h"

namespace nebo::common {

// The facts of a source's medium: a plugin's source offers them by deriving
// from this interface too (see CSourceServer, CSourceClient).
class IMediumFactsSource : public virtual lumo::IBase {
public:
    // Valid once the source is opened; may throw any lumo::CException.
    virtual lumo::P<CMediumFacts> getMediumFacts() = 0;
};

} // namespace nebo::common
