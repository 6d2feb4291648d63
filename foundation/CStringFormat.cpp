#include "foundation/CStringFormat.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace lumo {

namespace {

constexpr char tooManyFlags[] = "CStringFormat: too many field flags specified.";
constexpr char invalidFormat[] = "CStringFormat: invalid format string.";
constexpr char mismatch[] = "CStringFormat: argument does not match the field's format specification.";
constexpr char expectedWidth[] = "CStringFormat: expected integer value (field width).";
constexpr char expectedPrecision[] = "CStringFormat: expected integer value (field precision).";
constexpr char notAllPushed[] = "CStringFormat: not all parameters have been pushed in yet.";

constexpr int maxFlags = 5;
// Widths and precisions beyond this could only exhaust memory; they are
// rejected as a malformed field.
constexpr int64_t maxSize = 1 << 20;

[[noreturn]] void fail(const String& message) { throw CInvalidArgError(message); }

// A width or precision pushed for a "*".
int32_t sizeFrom(int64_t value, bool bSigned)
{
    if (bSigned && value < 0)
        return 0;
    if (uint64_t(value) > uint64_t(maxSize))
        fail(invalidFormat);
    return static_cast<int32_t>(value);
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The text the C library makes of one value; decimal points and the like
// follow the current locale, so the bytes are in the process code page.
template <class T> std::u32string printfText(const std::string& specification, T value)
{
    const int length = std::snprintf(nullptr, 0, specification.c_str(), value);
    if (length < 0)
        fail(invalidFormat);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), specification.c_str(), value);
    text.resize(static_cast<size_t>(length));
    return String::fromCodePage(text)->toUTF32();
}

} // namespace

CStringFormat::CStringFormat(const String& format) : m_format(format->toUTF32()) { parseToNextField(); }

CStringFormat& CStringFormat::pushInteger(int64_t value, bool bSigned)
{
    requireOpenField();
    if (takePendingSize(value, bSigned))
        return *this;
    switch (m_field.conversion) {
    case Conversion::integer:
        finishField(formatInteger(value, bSigned));
        break;
    case Conversion::floating:
        finishField(formatDouble(bSigned ? static_cast<double>(value) : static_cast<double>(uint64_t(value))));
        break;
    case Conversion::character:
        // Values beyond 32 bits are no character; they become an invalid one
        // rather than whatever their low bits happen to name.
        finishField(formatCharacter(uint64_t(value) > UINT32_MAX ? UINT32_MAX : uint32_t(value)));
        break;
    case Conversion::string:
    case Conversion::none:
        fail(mismatch);
    }
    return *this;
}

CStringFormat& CStringFormat::pushDouble(double value)
{
    requireOpenField();
    requireNoPendingSize();
    if (m_field.conversion != Conversion::floating)
        fail(mismatch);
    finishField(formatDouble(value));
    return *this;
}

CStringFormat& CStringFormat::pushChar(uint32_t codePoint)
{
    requireOpenField();
    if (m_field.conversion == Conversion::integer || m_field.bWidthPending || m_field.bPrecisionPending)
        return pushInteger(codePoint, false);
    if (m_field.conversion != Conversion::character)
        fail(mismatch);
    finishField(formatCharacter(codePoint));
    return *this;
}

CStringFormat& CStringFormat::pushString(const String& text)
{
    requireOpenField();
    requireNoPendingSize();
    if (m_field.conversion != Conversion::string)
        fail(mismatch);
    finishField(formatString(text->toUTF32()));
    return *this;
}

String CStringFormat::getResult() const
{
    if (m_bFieldOpen)
        throw CInvalidObjectStateError(notAllPushed, nullptr, &typeid(CStringFormat));
    return String::fromUTF32(m_output);
}

P<IString> CStringFormat::toString() const { return getResult().get(); }

void CStringFormat::parseToNextField()
{
    m_bFieldOpen = false;
    while (m_position < m_format.size()) {
        const char32_t c = m_format[m_position++];
        if (c != U'%') {
            m_output += c;
        } else if (peek() == U'%') {
            ++m_position;
            m_output += U'%';
        } else {
            m_bFieldOpen = true;
            parseField();
            return;
        }
    }
}

void CStringFormat::parseField()
{
    m_field = Field();
    parseFlags();
    if (peek() == U'*') {
        ++m_position;
        m_field.bWidthPending = true;
    } else {
        m_field.width = parseSize();
    }
    if (peek() == U'.') {
        ++m_position;
        if (peek() == U'*') {
            ++m_position;
            m_field.bPrecisionPending = true;
        } else {
            m_field.precision = parseSize();
        }
    }
    skipLengthModifiers();

    m_field.letter = peek();
    switch (m_field.letter) {
    case U'c':
    case U'C':
        m_field.conversion = Conversion::character;
        break;
    case U'd':
    case U'i':
    case U'o':
    case U'x':
    case U'X':
    case U'u':
        m_field.conversion = Conversion::integer;
        break;
    case U'e':
    case U'E':
    case U'f':
    case U'g':
    case U'G':
        m_field.conversion = Conversion::floating;
        break;
    case U's':
    case U'S':
        m_field.conversion = Conversion::string;
        break;
    default:
        fail(invalidFormat);
    }
    ++m_position;
}

void CStringFormat::parseFlags()
{
    int count = 0;
    while (bool* flag = flagFor(peek())) {
        if (++count > maxFlags)
            fail(tooManyFlags);
        *flag = true;
        ++m_position;
    }
}

bool* CStringFormat::flagFor(char32_t c)
{
    switch (c) {
    case U'-':
        return &m_field.bLeft;
    case U'+':
        return &m_field.bPlus;
    case U'0':
        return &m_field.bZero;
    case U' ':
        return &m_field.bSpace;
    case U'#':
        return &m_field.bHash;
    default:
        return nullptr;
    }
}

int32_t CStringFormat::parseSize()
{
    int64_t size = 0;
    for (; isDigit(peek()); ++m_position) {
        size = size * 10 + (peek() - U'0');
        if (size > maxSize)
            fail(invalidFormat);
    }
    return static_cast<int32_t>(size);
}

// Length modifiers only matter to C's variadic calls; every push here
// carries its full width already.
void CStringFormat::skipLengthModifiers()
{
    static constexpr std::u32string_view modifiers = U"lLhzjt";
    for (;;) {
        const char32_t c = peek();
        if (c == U'I') {
            ++m_position;
            for (int i = 0; i < 2 && isDigit(peek()); ++i)
                ++m_position;
        } else if (c != 0 && modifiers.find(c) != std::u32string_view::npos) {
            ++m_position;
        } else {
            return;
        }
    }
}

// The character under the cursor; 0 at the end, which no rule accepts.
char32_t CStringFormat::peek() const { return m_position < m_format.size() ? m_format[m_position] : 0; }

void CStringFormat::requireOpenField() const
{
    if (!m_bFieldOpen)
        fail(mismatch);
}

void CStringFormat::requireNoPendingSize() const
{
    if (m_field.bWidthPending)
        fail(expectedWidth);
    if (m_field.bPrecisionPending)
        fail(expectedPrecision);
}

bool CStringFormat::takePendingSize(int64_t value, bool bSigned)
{
    if (m_field.bWidthPending) {
        m_field.width = sizeFrom(value, bSigned);
        m_field.bWidthPending = false;
        return true;
    }
    if (m_field.bPrecisionPending) {
        m_field.precision = sizeFrom(value, bSigned);
        m_field.bPrecisionPending = false;
        return true;
    }
    return false;
}

void CStringFormat::finishField(const std::u32string& text)
{
    m_output += text;
    parseToNextField();
}

// The sign counts towards the width and sits right before the prefix and
// digits, as in floating fields and in C: "%+5d" of 42 is "  +42", "%+05d"
// is "+0042", and a negative number never leaves a gap after its sign.
std::u32string CStringFormat::formatInteger(int64_t value, bool bSigned) const
{
    const char32_t letter = m_field.letter;
    const bool bUpper = letter == U'X';
    const unsigned base = (letter == U'x' || bUpper) ? 16 : letter == U'o' ? 8 : 10;
    const bool bNegative = base == 10 && bSigned && value < 0;
    uint64_t magnitude = bNegative ? 0 - uint64_t(value) : uint64_t(value);

    const char* const digitSet = bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u32string digits;
    for (; magnitude != 0; magnitude /= base)
        digits += char32_t(digitSet[magnitude % base]);
    const size_t minDigits = m_field.precision < 0 ? 1 : size_t(m_field.precision);
    if (digits.size() < minDigits)
        digits.append(minDigits - digits.size(), U'0');
    std::reverse(digits.begin(), digits.end());

    std::u32string lead = bNegative ? U"-" : m_field.bPlus ? U"+" : m_field.bSpace ? U" " : U"";
    if (m_field.bHash)
        lead += base == 16 ? (bUpper ? U"0X" : U"0x") : base == 8 ? U"0" : U"";

    const size_t fill = fillFor(lead.size() + digits.size());
    if (m_field.bLeft)
        return lead + digits + std::u32string(fill, U' ');
    if (m_field.bZero)
        return lead + std::u32string(fill, U'0') + digits;
    return std::u32string(fill, U' ') + lead + digits;
}

std::u32string CStringFormat::formatDouble(double value) const
{
    return printfText(printfSpecification(static_cast<char>(m_field.letter), true), value);
}

std::u32string CStringFormat::formatCharacter(uint32_t codePoint) const
{
    if (codePoint < 128)
        return printfText(printfSpecification('c', false), static_cast<int>(codePoint));
    return formatString(std::u32string(1, char32_t(codePoint)));
}

std::u32string CStringFormat::formatString(std::u32string text) const
{
    if (m_field.precision >= 0 && size_t(m_field.precision) < text.size())
        text.resize(size_t(m_field.precision));
    const size_t fill = fillFor(text.size());
    if (m_field.bLeft)
        return text + std::u32string(fill, U' ');
    return std::u32string(fill, m_field.bZero ? U'0' : U' ') + text;
}

// The field as C's printf reads it, with the "*" sizes already resolved.
// Characters go without precision, which C leaves undefined for them.
std::string CStringFormat::printfSpecification(char conversion, bool bWithPrecision) const
{
    std::string specification = "%";
    if (m_field.bLeft)
        specification += '-';
    if (m_field.bPlus)
        specification += '+';
    if (m_field.bZero)
        specification += '0';
    if (m_field.bSpace)
        specification += ' ';
    if (m_field.bHash)
        specification += '#';
    if (m_field.width > 0)
        specification += std::to_string(m_field.width);
    if (bWithPrecision && m_field.precision >= 0)
        specification += '.' + std::to_string(m_field.precision);
    return specification + conversion;
}

size_t CStringFormat::fillFor(size_t length) const
{
    const size_t width = size_t(m_field.width);
    return width > length ? width - length : 0;
}

} // namespace lumo
