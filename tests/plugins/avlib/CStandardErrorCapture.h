#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

namespace nebo::test {

// Catches what this process writes to its standard error descriptor, from
// construction until text(), in a file of its own.
class CStandardErrorCapture {
public:
    CStandardErrorCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        if (m_file)
            dup2(fileno(m_file), STDERR_FILENO);
    }
    ~CStandardErrorCapture()
    {
        restore();
        if (m_file)
            std::fclose(m_file);
    }
    CStandardErrorCapture(const CStandardErrorCapture&) = delete;
    CStandardErrorCapture& operator=(const CStandardErrorCapture&) = delete;

    // Ends the capture and returns what was caught.
    std::string text()
    {
        restore();
        std::string caught;
        if (!m_file)
            return "(no capture file)";
        std::rewind(m_file);
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            caught.append(buffer, got);
        return caught;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    std::FILE* m_file;
    int m_saved = -1;
};

} // namespace nebo::test
