#include "crashhandler/CReportWriter.h"

#include "crashhandler/formatScientific.h"

#include <cstring>

namespace crashhandler {

CReportWriter& CReportWriter::text(const char* text) noexcept
{
    while (*text != '\0')
        put(*text++);
    return *this;
}

CReportWriter& CReportWriter::hex(uint64_t value, int minDigits) noexcept
{
    char digits[16];
    int count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = count; i < minDigits; ++i)
        put('0');
    while (count > 0)
        put(digits[--count]);
    return *this;
}

CReportWriter& CReportWriter::decimal(uint64_t value) noexcept
{
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        put(digits[--count]);
    return *this;
}

CReportWriter& CReportWriter::scientific(double value) noexcept
{
    char formatted[scientificTextSize];
    formatScientific(value, formatted);
    return text(formatted);
}

CReportWriter& CReportWriter::rightAligned(const char* text, size_t width) noexcept
{
    for (size_t length = std::strlen(text); length < width; ++length)
        put(' ');
    return this->text(text);
}

void CReportWriter::flush() noexcept
{
    if (m_length > 0)
        m_sink.write(m_buffer, m_length);
    m_length = 0;
}

void CReportWriter::put(char character) noexcept
{
    if (m_length == sizeof m_buffer)
        flush();
    m_buffer[m_length++] = character;
}

} // namespace crashhandler
