#pragma once

// Runs a program the way a user does, for the tests of whole programs.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nebo::test {

struct SProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The whole file's bytes; empty when it cannot be read.
inline std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// What a program wrote to the file at `path` as text, line ends (Windows: "\r\n") as "\n"; empty if unreadable.
inline std::string readWrittenText(const std::string& path)
{
    std::string text = readWholeFile(path);
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

// Runs `command` (the program and its arguments, none with a blank) in `folder`, which also takes its temporary files
// and its standard output and error (stdout.txt, stderr.txt; Windows's line ends read back as "\n"), in the test's
// environment changed by `environment`: "NAME=value" sets a variable, a bare "NAME" removes it. A run not ended after
// `timeoutSeconds` is ended and fails the test. The exit code is as the platform reports it: POSIX keeps its low byte.
SProgramRun runProgram(const std::string& folder, const std::vector<std::string>& command,
                       const std::vector<std::string>& environment = {}, int timeoutSeconds = 120);

} // namespace nebo::test
