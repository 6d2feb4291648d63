#pragma once

#include "crashhandler/IReportSink.h"

#include <string>

namespace crashhandler::test {

// Collects a report's text, remembering how it was handed over.
class CReportSinkString final : public IReportSink {
public:
    void write(const char* text, size_t length) noexcept override
    {
        m_text.append(text, length);
        ++m_writes;
    }

    std::string m_text;
    int m_writes = 0;
};

} // namespace crashhandler::test
