#pragma once

#include <cstddef>

namespace crashhandler {

// Where the text of a report goes, piece by piece. Called from the crash
// path, so an implementation must not allocate, lock or throw.
class IReportSink {
public:
    virtual void write(const char* text, size_t length) noexcept = 0;

protected:
    ~IReportSink() = default;
};

} // namespace crashhandler
