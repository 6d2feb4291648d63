#pragma once

#include "foundation/CObject.h"
#include "platform/ISandbox.h"
#include "platform/posix/CSeccompProgram.h"

#include <optional>
#include <string>

namespace lumo::posix {

// Linux confinement. confineProcess() applies its layers in the one order
// that works: no core dumps and no ptrace attach (not dumpable), no
// capabilities, resource limits, no_new_privs (which Landlock and an
// unprivileged seccomp filter require), Landlock over every file access
// but reading, and last the seccomp allow-list, which would otherwise stop
// the steps before it. confineFiles() adds a second Landlock ruleset that
// handles reading too. Namespaces are the process starter's: a slave
// started in its own is the first process of its PID namespace, which
// describeLayers() reports. Where the kernel lacks Landlock, the steps say
// so and apply the rest.
class CSandbox : public CObject, public virtual ISandbox {
public:
    void setMedium(const String& path) override;
    void setErrorFile(const String& path) override;
    void setProgramFolder(const String& path) override;
    void setPluginFolder(const String& path) override;
    void setLimits(const SLimits& limits) override;
    void setForksChildren(bool bForksChildren) override;
    std::vector<String> confineProcess() override;
    std::vector<String> confineFiles() override;
    std::vector<String> confineChild() override;
    std::vector<String> describeLayers() const override;

private:
    void applyLimits(std::vector<std::string>& gaps) const;
    // Landlock over everything but reading: the libraries stay executable,
    // the error file writable.
    void restrictWrites(std::vector<std::string>& gaps);
    void allowLibraries(class CLandlockRuleset& ruleset, std::vector<std::string>& gaps) const;

    std::string m_medium;
    std::string m_errorFile;
    std::string m_programFolder;
    std::string m_pluginFolder;
    SLimits m_limits;
    // What the steps put in force, for describeLayers().
    bool m_bWithoutCapabilities = false;
    int m_landlockAbi = 0;
    bool m_bReadsConfined = false;
    bool m_bFilterLoaded = false;
    bool m_bForksChildren = false;
    // Set in a launcher's child once it narrowed.
    bool m_bChild = false;
    // A launcher's children's filter, built before they fork.
    std::optional<CSeccompProgram> m_childFilter;
};

} // namespace lumo::posix
