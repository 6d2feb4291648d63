#include "crashhandler/posix/readMappings.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace crashhandler {

namespace {

// A path may be as long as PATH_MAX; the fields before it take less than 128.
constexpr size_t maxLineLength = 4096 + 128;

class CLineScanner {
public:
    CLineScanner(const char* line, size_t length) : m_line(line), m_length(length) {}

    bool hex(uint64_t& value)
    {
        const size_t first = m_position;
        value = 0;
        for (; m_position < m_length && isHexDigit(m_line[m_position]); ++m_position)
            value = value * 16 + hexValue(m_line[m_position]);
        return m_position > first && m_position - first <= 16;
    }
    bool expect(char character)
    {
        if (m_position >= m_length || m_line[m_position] != character)
            return false;
        ++m_position;
        return true;
    }
    // The next word, which must not be empty, and the blanks after it.
    bool skipWord()
    {
        const size_t first = m_position;
        while (m_position < m_length && m_line[m_position] != ' ')
            ++m_position;
        const bool found = m_position > first;
        while (m_position < m_length && m_line[m_position] == ' ')
            ++m_position;
        return found;
    }
    bool take(size_t count, const char*& start)
    {
        if (m_length - m_position < count)
            return false;
        start = m_line + m_position;
        m_position += count;
        return true;
    }
    const char* rest() const { return m_line + m_position; }
    size_t restLength() const { return m_length - m_position; }

private:
    static bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
    static uint64_t hexValue(char c) { return c <= '9' ? uint64_t(c - '0') : uint64_t(c - 'a' + 10); }

    const char* m_line;
    size_t m_length;
    size_t m_position = 0;
};

} // namespace

bool parseMapping(const char* line, size_t length, SMapping& mapping) noexcept
{
    CLineScanner scanner(line, length);
    const char* permissions = nullptr;
    SMapping parsed;
    if (!scanner.hex(parsed.start) || !scanner.expect('-') || !scanner.hex(parsed.end) || !scanner.expect(' ') ||
        !scanner.take(4, permissions) || !scanner.expect(' '))
        return false;
    // Offset, device and inode.
    for (int field = 0; field < 3; ++field) {
        if (!scanner.skipWord())
            return false;
    }
    parsed.readable = permissions[0] == 'r';
    parsed.executable = permissions[2] == 'x';
    parsed.path = scanner.rest();
    parsed.pathLength = scanner.restLength();
    mapping = parsed;
    return true;
}

void readMappings(int descriptor, IMappingVisitor& visitor) noexcept
{
    char chunk[4096];
    char line[maxLineLength];
    size_t lineLength = 0;
    const auto visitLine = [&] {
        SMapping mapping;
        if (parseMapping(line, lineLength, mapping))
            visitor.visit(mapping);
        lineLength = 0;
    };
    for (;;) {
        const ssize_t count = read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        for (ssize_t i = 0; i < count; ++i) {
            if (chunk[i] == '\n')
                visitLine();
            else if (lineLength < sizeof line)
                line[lineLength++] = chunk[i];
        }
    }
    if (lineLength > 0)
        visitLine();
}

bool readOwnMappings(IMappingVisitor& visitor) noexcept
{
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return false;
    readMappings(maps, visitor);
    close(maps);
    return true;
}

} // namespace crashhandler
