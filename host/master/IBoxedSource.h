#pragma once

#include "foundation/IBase.h"
#include "foundation/String.h"
#include "platform/IProcess.h"

#include <vector>

namespace nebo::common {

// What a source whose plugin runs in slaves tells about them, for people.
class IBoxedSource : public virtual lumo::IBase {
public:
    // Why the source replaced a failed slave and read on, once per restart:
    // the failure's summary, and where the whole report is when a file
    // holds it. Texts of a slave's choosing: escape them for a terminal.
    virtual std::vector<lumo::String> getRestartCauses() = 0;
    // How each of the source's slaves that has ended ended, oldest first.
    virtual std::vector<lumo::SProcessEnd> getSlaveEnds() = 0;
};

} // namespace nebo::common
