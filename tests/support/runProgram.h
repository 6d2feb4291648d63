#pragma once

// Runs a program the way a user does, through the shell, for the tests of
// whole programs.
#include <string>
#include <vector>

namespace nebo::test {

struct SProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `text` as one word of the shell.
std::string shellQuoted(const std::string& text);

// The whole file's bytes; empty when it cannot be read.
std::string readWholeFile(const std::string& path);

// Runs `command` (the program and its arguments) in `folder`, which also
// takes its temporary files and its standard output and error, under the
// shell words of `environment` ("NAME=value", "env -u NAME"). A run that
// has not ended after `timeoutSeconds` is killed and fails the test.
SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                       const std::string& environment = std::string(), int timeoutSeconds = 120);

} // namespace nebo::test
