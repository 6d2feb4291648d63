#include "processChild.h"

extern char** environ;

int main(int argc, char** argv)
{
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry)
        environment.emplace_back(*entry);
    return nebo::test::runProcessChild(std::vector<std::string>(argv, argv + argc), environment);
}
