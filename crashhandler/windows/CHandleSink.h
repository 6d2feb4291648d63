#pragma once

#include "crashhandler/IReportSink.h"

#include <windows.h>

namespace crashhandler {

// Writes a report whole to an open file handle; a handle that fails gets
// nothing more. The handle stays the caller's.
class CHandleSink final : public IReportSink {
public:
    explicit CHandleSink(HANDLE file) noexcept : m_file(file) {}

    void write(const char* text, size_t length) noexcept override;

private:
    HANDLE m_file;
};

} // namespace crashhandler
