#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"

#include <cstdint>
#include <string>

namespace lumo {

// A printf-like formatter used once: built on a format, fed one push per
// field (and per "*" width or precision) in the order of the fields, then
// read. Fields are "%" [flags "-+0 #"] [width | "*"] ["." precision | ".*"]
// [length modifiers, ignored] conversion, with conversions c C (character),
// d i o x X u (integer), e E f g G (floating), s S (string); "%%" is "%".
//
// Integers are formatted here, with the sign counting towards the width as
// in C; doubles and characters below 128 by the C library. Widths and
// precisions above 1048576 are refused as malformed.
//
// A malformed field, or an argument that does not fit its field, throws
// CInvalidArgError; the format is parsed up to the next field at
// construction and after each push, so a bad field throws there, and the
// formatter yields no result after that. A push that does not fit its field
// changes nothing. One thread at a time.
class CStringFormat : public CObject {
public:
    explicit CStringFormat(const String& format);

    // A width or precision "*" takes the value (negative gives 0); so does
    // any integer field. A floating field takes it as a double, a character
    // field as a code point.
    CStringFormat& pushInteger(int64_t value, bool bSigned);
    CStringFormat& pushDouble(double value);
    // An integer field or a "*" takes the code point as an unsigned integer.
    CStringFormat& pushChar(uint32_t codePoint);
    CStringFormat& pushString(const String& text);

    // The formatted text. Throws CInvalidObjectStateError while a field
    // still waits for its argument.
    String getResult() const;
    P<IString> toString() const override;

private:
    // A malformed field stays open with no conversion, so that nothing can
    // fill it and no result can be read.
    enum class Conversion { none, character, integer, floating, string };

    struct Field {
        Conversion conversion = Conversion::none;
        char32_t letter = 0;
        int32_t width = 0;
        int32_t precision = -1; // unset
        bool bWidthPending = false;
        bool bPrecisionPending = false;
        bool bLeft = false;  // "-"
        bool bPlus = false;  // "+"
        bool bZero = false;  // "0"
        bool bSpace = false; // " "
        bool bHash = false;  // "#"
    };

    void parseToNextField();
    void parseField();
    void parseFlags();
    bool* flagFor(char32_t c);
    int32_t parseSize();
    void skipLengthModifiers();
    char32_t peek() const;

    void requireOpenField() const;
    void requireNoPendingSize() const;
    bool takePendingSize(int64_t value, bool bSigned);
    void finishField(const std::u32string& text);

    std::u32string formatInteger(int64_t value, bool bSigned) const;
    std::u32string formatDouble(double value) const;
    std::u32string formatCharacter(uint32_t codePoint) const;
    std::u32string formatString(std::u32string text) const;
    std::string printfSpecification(char conversion, bool bWithPrecision) const;
    size_t fillFor(size_t length) const;

    std::u32string m_format;
    size_t m_position = 0;
    std::u32string m_output;
    bool m_bFieldOpen = false;
    Field m_field;
};

} // namespace lumo
