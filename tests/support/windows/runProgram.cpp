#include "support/runProgram.h"

#include "foundation/CURI.h"
#include "foundation/sync/getTickCount.h"
#include "platform/CProcessOptions.h"
#include "platform/IProcessFactory.h"
#include "platform/waitForEnd.h"
#include "support/CScopedStandardStreams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

namespace nebo::test {

namespace {

// Windows compares the names of variables regardless of case.
bool isSameName(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::toupper(uint8_t(x)) == std::toupper(uint8_t(y)); });
}

// The test's variables but those `changes` name, then the changes that set one.
lumo::P<lumo::CProcessOptions> optionsWith(const std::vector<std::string>& changes)
{
    lumo::P<lumo::CProcessOptions> options = lumo::make<lumo::CProcessOptions>();
    options->takeCallerVariables([&](const std::string& name) {
        return std::none_of(changes.begin(), changes.end(), [&](const std::string& change) {
            return isSameName(name, change.substr(0, change.find('=')));
        });
    });
    for (const std::string& change : changes)
        if (change.find('=') != std::string::npos)
            options->environment.push_back(change);
    return options;
}

} // namespace

SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                       const std::vector<std::string>& environment, int timeoutSeconds)
{
    // The system's temporary folder is the first of these that is set.
    std::vector<std::string> changes = {"TMP=" + folder, "TEMP=" + folder};
    changes.insert(changes.end(), environment.begin(), environment.end());
    std::string arguments;
    for (size_t i = 1; i < command.size(); ++i) {
        EXPECT_EQ(command[i].find_first_of(" \t"), std::string::npos) << "a blank splits " << command[i];
        arguments += " " + command[i];
    }
    const lumo::P<lumo::CURI> workingDirectory = lumo::CURI::fromNativePath(lumo::String::fromUTF8(folder));
    const lumo::P<lumo::CProcessOptions> options = optionsWith(changes);
    lumo::P<lumo::IProcess> program;
    {
        const CScopedStandardStreams streams(folder + "/stdout.txt", folder + "/stderr.txt");
        program = lumo::createPlatformProcessFactory()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(command.front())), lumo::String::fromUTF8(arguments),
            lumo::PFrail<lumo::IURI>(workingDirectory.get(), true), lumo::PFrail<lumo::IBase>(options.get(), true),
            lumo::IProcess::priorityNormal);
    }
    const int64_t end = lumo::getTickCount() + int64_t{timeoutSeconds} * 1000;
    while (!program->hasTerminated() && lumo::getTickCount() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SProgramRun run;
    if (program->hasTerminated()) {
        run.exitCode = program->getExitCode();
    } else {
        ADD_FAILURE() << command.front() << " did not end";
        program->terminate();
        lumo::waitForEnd(*program);
    }
    run.out = readWrittenText(folder + "/stdout.txt");
    run.err = readWrittenText(folder + "/stderr.txt");
    return run;
}

} // namespace nebo::test
