#include "crashhandler/formatScientific.h"

#include <cstdint>
#include <cstring>

namespace crashhandler {

namespace {

constexpr int significantDigits = 7;

// An unsigned integer of up to 810 decimal digits, in base 1e9, least
// significant limb first: enough for the exact value of any double times a
// power of ten that makes it whole.
class CBigDecimal {
public:
    explicit CBigDecimal(uint64_t value) noexcept
    {
        do {
            m_limbs[m_count++] = static_cast<uint32_t>(value % limbBase);
            value /= limbBase;
        } while (value != 0);
    }

    // Multiplies by factor^times, factor^step at a time so that a product
    // of a limb and the multiplier fits into 64 bits.
    void multiplyByPower(uint32_t factor, int step, int times) noexcept
    {
        while (times > 0) {
            const int now = times < step ? times : step;
            uint64_t multiplier = 1;
            for (int i = 0; i < now; ++i)
                multiplier *= factor;
            multiply(multiplier);
            times -= now;
        }
    }

    // Writes the decimal digits, most significant first; returns their count.
    size_t toDigits(char* digits) const noexcept
    {
        size_t length = 0;
        uint32_t top = m_limbs[m_count - 1];
        char reversed[9];
        size_t topLength = 0;
        do {
            reversed[topLength++] = static_cast<char>('0' + top % 10);
            top /= 10;
        } while (top != 0);
        while (topLength > 0)
            digits[length++] = reversed[--topLength];
        for (size_t limb = m_count - 1; limb-- > 0;) {
            uint32_t value = m_limbs[limb];
            for (int i = 8; i >= 0; --i) {
                digits[length + i] = static_cast<char>('0' + value % 10);
                value /= 10;
            }
            length += 9;
        }
        return length;
    }

    static constexpr size_t maxDigits = 810;

private:
    static constexpr uint64_t limbBase = 1000000000;

    void multiply(uint64_t multiplier) noexcept
    {
        uint64_t carry = 0;
        for (size_t i = 0; i < m_count; ++i) {
            const uint64_t product = m_limbs[i] * multiplier + carry;
            m_limbs[i] = static_cast<uint32_t>(product % limbBase);
            carry = product / limbBase;
        }
        while (carry != 0) {
            m_limbs[m_count++] = static_cast<uint32_t>(carry % limbBase);
            carry /= limbBase;
        }
    }

    uint32_t m_limbs[maxDigits / 9] = {};
    size_t m_count = 0;
};

// Rounds the digits to the first `significantDigits`, ties to even; returns
// true when the rounding carried into a new leading digit.
bool roundDigits(char* digits, size_t length) noexcept
{
    if (length <= significantDigits)
        return false;
    const char next = digits[significantDigits];
    bool exactlyHalf = next == '5';
    for (size_t i = significantDigits + 1; exactlyHalf && i < length; ++i)
        exactlyHalf = digits[i] == '0';
    const bool lastIsOdd = (digits[significantDigits - 1] - '0') % 2 != 0;
    if (next < '5' || (exactlyHalf && !lastIsOdd))
        return false;
    for (int i = significantDigits - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits[0] = '1';
    return true;
}

size_t copyText(const char* source, char* text) noexcept
{
    const size_t length = std::strlen(source);
    std::memcpy(text, source, length + 1);
    return length;
}

} // namespace

size_t formatScientific(double value, char (&text)[scientificTextSize]) noexcept
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t(1) << 52) - 1);

    char* out = text;
    if (negative)
        *out++ = '-';
    if (biasedExponent == 0x7FF)
        return static_cast<size_t>(out - text) + copyText(mantissa != 0 ? "nan" : "inf", out);

    char digits[CBigDecimal::maxDigits];
    size_t length = 1;
    int exponent = 0;
    if (biasedExponent == 0 && mantissa == 0) {
        digits[0] = '0';
    } else {
        // value = mantissa * 2^binaryExponent, made whole as digits * 10^-shift.
        int binaryExponent = biasedExponent == 0 ? -1074 : biasedExponent - 1075;
        if (biasedExponent != 0)
            mantissa |= uint64_t(1) << 52;
        CBigDecimal whole(mantissa);
        int shift = 0;
        if (binaryExponent > 0) {
            whole.multiplyByPower(2, 29, binaryExponent);
        } else {
            whole.multiplyByPower(5, 12, -binaryExponent);
            shift = -binaryExponent;
        }
        length = whole.toDigits(digits);
        exponent = static_cast<int>(length) - 1 - shift;
        if (roundDigits(digits, length))
            ++exponent;
    }
    for (size_t i = length; i < significantDigits; ++i)
        digits[i] = '0';

    *out++ = digits[0];
    *out++ = '.';
    for (int i = 1; i < significantDigits; ++i)
        *out++ = digits[i];
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100)
        *out++ = static_cast<char>('0' + magnitude / 100);
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    *out = '\0';
    return static_cast<size_t>(out - text);
}

} // namespace crashhandler
