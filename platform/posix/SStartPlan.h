#pragma once

#include <string>
#include <vector>

namespace lumo::posix {

// What a new child does between its creation and the exec of the program,
// in this order: enter the working folder, take the null device as standard
// input, throw its output away, leave the caller's session or group, close
// the descriptors above standard error. Both ways of starting a program
// carry out the same plan, the spawn attributes and the namespaced child.
struct SStartPlan {
    // How the program stands to the caller's session and process group.
    enum class EGrouping { callersGroup, ownGroup, ownSession };

    // Absolute, so that the working folder does not change its meaning.
    std::string programPath;
    // The program's argument vector, its path first.
    std::vector<std::string> arguments;
    // "NAME=value" each; used instead of the caller's when bOwnEnvironment.
    std::vector<std::string> environment;
    bool bOwnEnvironment = false;
    // Empty: the caller's.
    std::string workingFolder;
    bool bNullInput = false;
    bool bDiscardOutput = false;
    EGrouping grouping = EGrouping::callersGroup;
    bool bCloseAllButStandardDescriptors = false;
};

} // namespace lumo::posix
