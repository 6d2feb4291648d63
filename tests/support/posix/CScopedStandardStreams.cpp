#include "support/CScopedStandardStreams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace nebo::test {

class CScopedStandardStreams::CRedirection {
public:
    CRedirection(int descriptor, const std::string& path) : m_descriptor(descriptor)
    {
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (file < 0) {
            ADD_FAILURE() << "cannot write to " << path;
            return;
        }
        std::fflush(nullptr);
        m_saved = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        dup2(file, descriptor);
        close(file);
    }
    ~CRedirection()
    {
        if (m_saved < 0)
            return;
        std::fflush(nullptr);
        dup2(m_saved, m_descriptor);
        close(m_saved);
    }
    CRedirection(const CRedirection&) = delete;
    CRedirection& operator=(const CRedirection&) = delete;

private:
    int m_descriptor;
    int m_saved = -1;
};

CScopedStandardStreams::CScopedStandardStreams(const std::string& outputPath, const std::string& errorPath)
    : m_output(outputPath.empty() ? nullptr : std::make_unique<CRedirection>(STDOUT_FILENO, outputPath)),
      m_error(errorPath.empty() ? nullptr : std::make_unique<CRedirection>(STDERR_FILENO, errorPath))
{
}

CScopedStandardStreams::~CScopedStandardStreams() = default;

} // namespace nebo::test
