#pragma once

#include "foundation/CObject.h"
#include "platform/ISandbox.h"

#include <string>

namespace lumo::posix {

// Linux confinement, applied in the one order that works: no core dumps
// and no ptrace attach (not dumpable), resource limits, no_new_privs (which
// Landlock and an unprivileged seccomp filter require), Landlock over the
// files, and last the seccomp filter, whose deny list would otherwise stop
// the steps before it. Where the kernel lacks Landlock, engage() says so
// and applies the rest.
class CSandbox : public CObject, public virtual ISandbox {
public:
    void setMedium(const String& path) override;
    void setErrorFile(const String& path) override;
    void setProgramFolder(const String& path) override;
    void setPluginFolder(const String& path) override;
    void setLimits(const SLimits& limits) override;
    std::vector<String> engage() override;

private:
    void applyLimits(std::vector<std::string>& gaps) const;
    void confineFiles(std::vector<std::string>& gaps) const;

    std::string m_medium;
    std::string m_errorFile;
    std::string m_programFolder;
    std::string m_pluginFolder;
    SLimits m_limits;
};

} // namespace lumo::posix
