#pragma once

#include "foundation/CObject.h"
#include "platform/ISandbox.h"

#include <windows.h>

namespace lumo::win32 {

// What Windows confines without a second, restricted process: a job object
// that the process puts itself in, which lets it start no program (one
// active process), caps its committed memory, and keeps it off the
// desktop's shared state (clipboard, global atoms, system settings, other
// processes' windows). Files, the network and the user's other processes
// stay open to it; confineProcess() says so each time, as it says which
// limits the system has no form of.
class CSandbox : public CObject, public virtual ISandbox {
public:
    // Files are not confined here, so the paths are not needed.
    void setMedium(const String&) override {}
    void setErrorFile(const String&) override {}
    void setProgramFolder(const String&) override {}
    void setPluginFolder(const String&) override {}
    // maxAddressSpace caps the committed memory, which is what Windows
    // limits; the other two have no form here and are reported.
    void setLimits(const SLimits& limits) override;
    // Windows has no launchers.
    void setForksChildren(bool) override {}
    std::vector<String> confineChild() override { return {}; }
    std::vector<String> confineProcess() override;
    std::vector<String> confineFiles() override;
    std::vector<String> describeLayers() const override;

private:
    // Makes the job and puts the process in it; an empty text when it
    // holds, else what failed.
    String enterJob() const;

    SLimits m_limits;
    bool m_bInJob = false;
};

} // namespace lumo::win32
