#include "platform/CProcessOptions.h"

#include <unistd.h>

extern char** environ;

namespace lumo {

void CProcessOptions::takeCallerVariables(const std::function<bool(const std::string& name)>& isWanted)
{
    environment.clear();
    // After clearenv() there is no list at all.
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string variable = *entry;
        if (isWanted(variable.substr(0, variable.find('='))))
            environment.push_back(variable);
    }
    bOwnEnvironment = true;
}

} // namespace lumo
