#include "support/CScopedStandardStreams.h"

#include "foundation/windows/toWide.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace nebo::test {

// The C library keeps its own copies of the standard handles, which stay
// the test's; only the programs started meanwhile inherit the file.
class CScopedStandardStreams::CRedirection {
public:
    CRedirection(DWORD stream, const std::string& path) : m_stream(stream)
    {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        m_file = CreateFileW(lumo::win32::toWide(lumo::String::fromUTF8(path)).c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot write to " << path << ": error " << GetLastError();
            return;
        }
        m_saved = GetStdHandle(stream);
        SetStdHandle(stream, m_file);
    }
    ~CRedirection()
    {
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        SetStdHandle(m_stream, m_saved);
        CloseHandle(m_file);
    }
    CRedirection(const CRedirection&) = delete;
    CRedirection& operator=(const CRedirection&) = delete;

private:
    DWORD m_stream;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_saved = nullptr;
};

CScopedStandardStreams::CScopedStandardStreams(const std::string& outputPath, const std::string& errorPath)
    : m_output(outputPath.empty() ? nullptr : std::make_unique<CRedirection>(STD_OUTPUT_HANDLE, outputPath)),
      m_error(errorPath.empty() ? nullptr : std::make_unique<CRedirection>(STD_ERROR_HANDLE, errorPath))
{
}

CScopedStandardStreams::~CScopedStandardStreams() = default;

} // namespace nebo::test
