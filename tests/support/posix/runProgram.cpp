#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace nebo::test {

std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                       const std::string& environment, int timeoutSeconds)
{
    std::string line = "cd " + shellQuoted(folder) + " && env TMPDIR=" + shellQuoted(folder) + " " + environment +
                       " timeout -s KILL " + std::to_string(timeoutSeconds);
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
