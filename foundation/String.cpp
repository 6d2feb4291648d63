#include "foundation/String.h"

#include "foundation/CCPString.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CLatin1String.h"
#include "foundation/CParseError.h"
#include "foundation/CUTF32String.h"
#include "foundation/CUTF8String.h"
#include "foundation/CWCharString.h"

#include <climits>
#include <string>

namespace lumo {

namespace {

// Never released, so that strings that outlive static destruction still
// have it.
IString* sharedEmptyString()
{
    static IString* const empty = make<CLatin1String>("", 0, 0, true, CString::Mode::borrow).detach();
    return empty;
}

P<IString> orEmpty(IString* string) { return P<IString>(string ? string : sharedEmptyString()); }

int32_t lengthOf(std::size_t length)
{
    if (length > INT32_MAX)
        throw CInvalidArgError("The text is too long for a string.", "String");
    return static_cast<int32_t>(length);
}

// The units up to the first zero unit, at most `capacity`.
template <class Unit> int32_t measure(const Unit* text, std::size_t capacity)
{
    std::size_t length = 0;
    while (length < capacity && text[length] != 0)
        ++length;
    return lengthOf(length);
}

template <class Class, class Unit> P<IString> borrowText(const Unit* text, std::size_t capacity)
{
    int32_t length = measure(text, capacity);
    if (length == 0)
        return sharedEmptyString();
    return make<Class>(text, length, -1, text[length] == 0, CString::Mode::borrow);
}

template <class Class, class Unit> String copyText(const Unit* text, std::size_t length)
{
    return String(make<Class>(text, lengthOf(length), -1, false, CString::Mode::copy));
}

int digitValue(uint32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'Z')
        return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'z')
        return static_cast<int>(c - 'a' + 10);
    return -1;
}

} // namespace

String::String() : m_string(sharedEmptyString()) {}

String::String(std::nullptr_t) : String() {}

String::String(P<IString> string) : m_string(orEmpty(string.get())) {}

String::String(const IString* string) : m_string(orEmpty(const_cast<IString*>(string))) {}

String String::fromLatin1(std::string_view text) { return copyText<CLatin1String>(text.data(), text.size()); }

String String::fromUTF8(std::string_view text)
{
    return copyText<CUTF8String>(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

String String::fromUTF16(std::u16string_view text) { return copyText<CWCharString>(text.data(), text.size()); }

String String::fromUTF32(std::u32string_view text) { return copyText<CUTF32String>(text.data(), text.size()); }

String String::fromCodePage(std::string_view text)
{
    return copyText<CCPString>(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

String String::fromInt(int64_t value) { return fromLatin1(std::to_string(value)); }

String& String::operator+=(const String& other)
{
    m_string = m_string->concat(other.m_string.get());
    return *this;
}

String operator+(const String& a, const String& b) { return String(a->concat(b.get().get())); }

String String::replace(const String& search, const String& replacement) const
{
    return String(m_string->replace(search.m_string.get(), replacement.m_string.get()));
}

String String::slice(int32_t start, int32_t count) const { return String(m_string->slice(start, count)); }

bool operator==(const String& a, const String& b) { return a->equals(b.get().get()); }

bool operator<(const String& a, const String& b) { return a->compare(b.get().get()) < 0; }

P<IString> String::borrowLatin1(const char* text, std::size_t capacity)
{
    return borrowText<CLatin1String>(text, capacity);
}

P<IString> String::borrowUTF16(const char16_t* text, std::size_t capacity)
{
    return borrowText<CWCharString>(text, capacity);
}

P<IString> String::borrowUTF32(const char32_t* text, std::size_t capacity)
{
    return borrowText<CUTF32String>(text, capacity);
}

P<IString> String::copyLatin1(const char* text)
{
    return text ? P<IString>(make<CLatin1String>(text)) : P<IString>(sharedEmptyString());
}

int32_t parseInteger(const String& text, int base)
{
    std::u32string digits = text->toUTF32();
    if (digits.empty())
        throw CParseError("Error parsing integer.");
    uint32_t value = 0;
    for (char32_t c : digits) {
        int digit = digitValue(c);
        if (digit < 0 || digit >= base)
            throw CParseError("Error parsing integer.");
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(value);
}

} // namespace lumo
