#pragma once

#include "crashhandler/IReportSink.h"

#include <cstddef>
#include <cstdint>

namespace crashhandler {

// Formats the pieces of a report into a fixed buffer and hands the text to
// a sink whenever the buffer fills, at flush() and on destruction. The
// formats are printf's, done by hand so that the crash path needs no heap,
// no locale and no stdio.
class CReportWriter {
public:
    explicit CReportWriter(IReportSink& sink) noexcept : m_sink(sink) {}
    ~CReportWriter() { flush(); }
    CReportWriter(const CReportWriter&) = delete;
    CReportWriter& operator=(const CReportWriter&) = delete;

    CReportWriter& text(const char* text) noexcept;
    // "%0<minDigits>lx": lower-case, at least minDigits, as many as the value needs.
    CReportWriter& hex(uint64_t value, int minDigits = 8) noexcept;
    // "%u".
    CReportWriter& decimal(uint64_t value) noexcept;
    // "%e".
    CReportWriter& scientific(double value) noexcept;
    // "%<width>s": the text right-aligned in at least `width` columns.
    CReportWriter& rightAligned(const char* text, size_t width) noexcept;

    void flush() noexcept;

private:
    void put(char character) noexcept;

    IReportSink& m_sink;
    char m_buffer[1024];
    size_t m_length = 0;
};

} // namespace crashhandler
