#pragma once

#include "foundation/IString.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace lumo {

// The value class for text: a counting holder of an IString. Copies share
// the string object; every change builds a new string and rebinds.
//
// Built from a character array (a literal) it borrows the characters: char
// is Latin-1, char16_t UTF-16, char32_t UTF-32, and wchar_t UTF-16 or UTF-32
// by its width. Such arrays must have static storage. Built from a character pointer it copies. A null
// pointer and the default constructor give the shared empty string.
class String {
public:
    String();
    String(std::nullptr_t);
    String(P<IString> string);
    String(const IString* string);

    template <std::size_t N> String(const char (&literal)[N]) : String(borrowLatin1(literal, N - 1)) {}
    template <std::size_t N> String(const char16_t (&literal)[N]) : String(borrowUTF16(literal, N - 1)) {}
    template <std::size_t N> String(const char32_t (&literal)[N]) : String(borrowUTF32(literal, N - 1)) {}
    template <std::size_t N> String(const wchar_t (&literal)[N]) : String(borrowWide(literal, N - 1)) {}

    // Copying constructors for Latin-1 text behind a pointer.
    template <class T, std::enable_if_t<std::is_same_v<T, const char*> || std::is_same_v<T, char*>, int> = 0>
    explicit String(const T& text) : String(copyLatin1(text))
    {
    }

    static String fromLatin1(std::string_view text);
    static String fromUTF8(std::string_view text);
    static String fromUTF16(std::u16string_view text);
    static String fromUTF32(std::u32string_view text);
    // Text in the process code page (current locale).
    static String fromCodePage(std::string_view text);
    // The decimal text of a number.
    static String fromInt(int64_t value);

    const P<IString>& get() const { return m_string; }
    IString* operator->() const { return m_string.get(); }
    operator const P<IString>&() const { return m_string; }

    bool isEmpty() const { return m_string->isEmpty(); }
    int32_t getLength() const { return m_string->getLength(); }

    String& operator+=(const String& other);
    friend String operator+(const String& a, const String& b);
    String replace(const String& search, const String& replacement) const;
    String slice(int32_t start, int32_t count = -1) const;

    // Exact code-point comparison.
    friend bool operator==(const String& a, const String& b);
    friend bool operator!=(const String& a, const String& b) { return !(a == b); }
    friend bool operator<(const String& a, const String& b);

    std::string toUTF8() const { return m_string->toUTF8(); }
    std::string toCodePage() const { return m_string->toCodePage(); }

private:
    static P<IString> borrowLatin1(const char* text, std::size_t capacity);
    static P<IString> borrowUTF16(const char16_t* text, std::size_t capacity);
    static P<IString> borrowUTF32(const char32_t* text, std::size_t capacity);
    static P<IString> copyLatin1(const char* text);
    // Wide text is UTF-16 where wchar_t has 16 bits and UTF-32 where it has 32.
    static P<IString> borrowWide(const wchar_t* text, std::size_t capacity)
    {
        static_assert(sizeof(wchar_t) == sizeof(char16_t) || sizeof(wchar_t) == sizeof(char32_t));
        if constexpr (sizeof(wchar_t) == sizeof(char16_t))
            return borrowUTF16(reinterpret_cast<const char16_t*>(text), capacity);
        else
            return borrowUTF32(reinterpret_cast<const char32_t*>(text), capacity);
    }

    P<IString> m_string;
};

// Parses digits "0"-"9", "a"-"z", "A"-"Z" of the given base with no sign and
// no blanks, in wrapping 32-bit arithmetic. Throws CParseError "Error parsing
// integer." when there is no digit or a character that is not one.
int32_t parseInteger(const String& text, int base = 10);

} // namespace lumo
