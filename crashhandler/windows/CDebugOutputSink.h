#pragma once

#include "crashhandler/IReportSink.h"

namespace crashhandler {

// Copies a report to the debugger's output. The system call takes a
// terminated text, so the report goes in pieces of a fixed buffer; with no
// debugger attached each piece is dropped at once, nothing ever waits.
class CDebugOutputSink final : public IReportSink {
public:
    void write(const char* text, size_t length) noexcept override;

private:
    char m_piece[1024];
};

} // namespace crashhandler
