#pragma once

#include <memory>
#include <string>

namespace nebo::test {

// Points this process's standard output and error at files for one scope, so that the programs it starts meanwhile
// write there. Where the platform shares these streams with the C library's own (POSIX), the test's writes go there too
// meanwhile. Scopes may nest; they must not overlap on other threads.
class CScopedStandardStreams {
public:
    // An empty path leaves that stream alone. A file that cannot be opened for writing (an existing one is emptied)
    // fails the test and leaves its stream alone.
    CScopedStandardStreams(const std::string& outputPath, const std::string& errorPath);
    ~CScopedStandardStreams();
    CScopedStandardStreams(const CScopedStandardStreams&) = delete;
    CScopedStandardStreams& operator=(const CScopedStandardStreams&) = delete;

private:
    // One stream pointed at a file, until it is destroyed.
    class CRedirection;
    std::unique_ptr<CRedirection> m_output;
    std::unique_ptr<CRedirection> m_error;
};

} // namespace nebo::test
