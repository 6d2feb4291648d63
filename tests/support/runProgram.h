#pragma once

// Runs a program the way a user does, through the shell, for the tests of
// whole programs.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace nebo::test {

struct SProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

inline std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs `command` (the program and its arguments) in `folder`, which also
// takes its temporary files and its standard output and error, under the
// shell words of `environment` ("NAME=value", "env -u NAME"). A run that
// has not ended after `timeoutSeconds` is killed and fails the test.
inline SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                              const std::string& environment = std::string(), int timeoutSeconds = 120)
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
