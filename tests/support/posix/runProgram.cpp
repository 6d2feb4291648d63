#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

namespace nebo::test {

namespace {

// `text` as one word of the shell.
std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

} // namespace

SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                       const std::vector<std::string>& environment, int timeoutSeconds)
{
    // env takes its removals before its settings.
    std::string removals;
    std::string settings = " TMPDIR=" + shellQuoted(folder);
    for (const std::string& entry : environment) {
        if (entry.find('=') == std::string::npos)
            removals += " -u " + shellQuoted(entry);
        else
            settings += " " + shellQuoted(entry);
    }
    std::string line = "cd " + shellQuoted(folder) + " && env" + removals + settings + " timeout -s KILL " +
                       std::to_string(timeoutSeconds);
    for (const std::string& word : command)
        line += " " + shellQuoted(word);
    const int status = std::system((line + " >stdout.txt 2>stderr.txt").c_str());
    SProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    EXPECT_NE(run.exitCode, 128 + SIGKILL) << command.front() << " did not end";
    run.out = readWholeFile(folder + "/stdout.txt");
    run.err = readWholeFile(folder + "/stderr.txt");
    return run;
}

} // namespace nebo::test
