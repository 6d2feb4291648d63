#pragma once

#include "foundation/IComparable.h"
#include "foundation/P.h"

#include <cstdint>
#include <string>

namespace lumo {

class ICharEncoding;

// An immutable text in one of the five encodings. Positions and counts are in
// characters (code points) unless a name says bytes. Every operation that
// makes text returns a new string; invalid bytes are skipped, never fatal.
// Strings are shared between threads freely.
class IString : public virtual IComparable {
public:
    // The hash of the code points (see CValueList).
    virtual uint32_t getHash() const = 0;
    // Compares this string from character `start` with `other` from its
    // beginning, at most `count` code points (-1: all). -1, 0 or 1.
    virtual int compare(const IString* other, int32_t start = 0, int32_t count = -1) const = 0;
    virtual bool equals(const IString* other, int32_t start = 0, int32_t count = -1) const = 0;
    // Like compare, with both sides case-folded first.
    virtual int compareIgnoringCase(const IString* other) const = 0;
    virtual bool equalsIgnoringCase(const IString* other) const = 0;

    // Every occurrence, left to right, without rescanning inserted text.
    virtual P<IString> replace(const IString* search, const IString* replacement) const = 0;
    virtual P<IString> toLowerCase() const = 0;
    virtual P<IString> toUpperCase() const = 0;
    // The folding used for case-insensitive keys.
    virtual P<IString> foldCase() const = 0;

    virtual bool isEmpty() const = 0;
    virtual bool hasEncoding(uint32_t tag) const = 0;
    virtual P<ICharEncoding> getEncoding() const = 0;
    virtual int32_t getLength() const = 0;
    virtual bool isNullTerminated() const = 0;
    // The encoded bytes; followed by an encoded terminator when isNullTerminated().
    virtual const void* getData() const = 0;
    virtual int32_t getByteLength() const = 0;

    // The code point at a character index (0 outside the string).
    virtual uint32_t getCharAt(int32_t index) const = 0;
    // Character index of the first occurrence at or after `from`, -1 if none.
    virtual int32_t indexOf(const IString* search, int32_t from = 0) const = 0;
    virtual int32_t indexOfChar(uint32_t codePoint, int32_t from = 0) const = 0;
    // Character index of the last occurrence, -1 if none.
    virtual int32_t lastIndexOf(const IString* search) const = 0;
    virtual int32_t lastIndexOfChar(uint32_t codePoint) const = 0;
    virtual bool startsWith(const IString* prefix) const = 0;
    virtual bool endsWith(const IString* suffix) const = 0;

    // The same text in another encoding; this string itself when it already
    // has that encoding and is null-terminated. Unencodable characters are
    // dropped, except in Latin-1, where they become "?".
    virtual P<IString> convert(uint32_t tag) const = 0;
    // This string itself when null-terminated, else a terminated copy.
    virtual P<IString> toNullTerminated() const = 0;
    // The other string appended; in this string's encoding when both share
    // it, else in UTF-8.
    virtual P<IString> concat(const IString* other) const = 0;
    // `count` characters from `start` (-1: to the end), clipped to the
    // string. Shares the bytes of this string without copying.
    virtual P<IString> slice(int32_t start, int32_t count = -1) const = 0;
    // Without leading and trailing white space.
    virtual P<IString> trim() const = 0;

    // Copies of the text for the C++ world.
    virtual std::string toUTF8() const = 0;
    virtual std::u16string toUTF16() const = 0;
    virtual std::u32string toUTF32() const = 0;
    // The text in the process code page (current locale).
    virtual std::string toCodePage() const = 0;
};

} // namespace lumo
