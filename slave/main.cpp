#include "slave/CLauncher.h"
#include "slave/CSlave.h"
#include "slave/CSlaveServices.h"

#include <string>
#include <string_view>

// The master passes five fields; the slave reads them as one line, joined
// with single blanks, as it would read a command line handed over whole.
// A first argument CLauncher::modeArgument makes the program a launcher.
int main(int argc, char** argv)
{
    const bool bLauncher = argc > 1 && std::string_view(argv[1]) == nebo::common::CLauncher::modeArgument;
    std::string commandLine;
    for (int i = bLauncher ? 2 : 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    nebo::common::CSlaveServices services;
    if (bLauncher)
        return nebo::common::CLauncher(services).run(commandLine);
    return nebo::common::CSlave(services).run(commandLine);
}
