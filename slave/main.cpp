#include "slave/CSlave.h"
#include "slave/CSlaveServices.h"

#include <string>

// The master passes five fields; the slave reads them as one line, joined
// with single blanks, as it would read a command line handed over whole.
int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    nebo::common::CSlaveServices services;
    return nebo::common::CSlave(services).run(commandLine);
}
