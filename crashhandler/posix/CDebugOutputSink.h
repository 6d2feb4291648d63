#pragma once

#include "crashhandler/IReportSink.h"
#include "crashhandler/posix/CDescriptorSink.h"

namespace crashhandler {

// Copies a report to a descriptor that may be a pipe nobody drains (the
// standard error of a process whose master captures it) without ever
// waiting: text goes in pieces of at most PIPE_BUF bytes, each only when
// the descriptor takes it at once, and at the first piece it does not take
// (full, no reader left, an error) the copy ends for good. The descriptor's
// own flags stay untouched: its open file description may be shared with
// another process's terminal. Async-signal-safe.
class CDebugOutputSink final : public IReportSink {
public:
    explicit CDebugOutputSink(int descriptor) noexcept : m_descriptor(descriptor), m_pieces(descriptor) {}

    void write(const char* text, size_t length) noexcept override;

private:
    bool takesAtOnce() const noexcept;

    int m_descriptor;
    // Writes the pieces once the descriptor takes them; invalid once one failed.
    CDescriptorSink m_pieces;
};

} // namespace crashhandler
