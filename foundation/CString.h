#pragma once

#include "foundation/CObject.h"
#include "foundation/ICharEncoding.h"
#include "foundation/IString.h"

#include <cstdint>

namespace lumo {

// The implementation of IString: immutable encoded bytes and the encoding
// that reads them. The character count is taken once, at construction.
// Immutable, so shared between threads freely.
class CString : public CObject, public virtual IString {
public:
    enum class Mode {
        // Makes an own copy of the bytes, with a terminator.
        copy = 0,
        // Takes over a block allocated with std::malloc, freed with std::free.
        adopt = 1,
        // Refers to the bytes, which must outlive the string.
        borrow = 2,
    };

    // `byteLength` -1: the bytes end at a terminator (which makes the text
    // null-terminated). `charCount` -1: counted here. Null `data` is the
    // empty text. Throws CInvalidArgError for a null encoding or a length
    // below -1; a block to adopt then stays with the caller.
    CString(const void* data, int32_t byteLength, int32_t charCount, bool nullTerminated, P<ICharEncoding> encoding,
            Mode mode);
    ~CString() override;
    CString(const CString&) = delete;
    CString& operator=(const CString&) = delete;

    // The string itself.
    P<IString> toString() const override;
    // An IString compares by code points; any other object is ordered by the
    // name of its run-time type and never compares equal; null sorts first.
    int compareTo(const IBase* other) const override;

    uint32_t getHash() const override;
    int compare(const IString* other, int32_t start = 0, int32_t count = -1) const override;
    bool equals(const IString* other, int32_t start = 0, int32_t count = -1) const override;
    int compareIgnoringCase(const IString* other) const override;
    bool equalsIgnoringCase(const IString* other) const override;

    P<IString> replace(const IString* search, const IString* replacement) const override;
    // The case mappings keep this string's encoding when it can hold every
    // changed character, else they answer in UTF-8.
    P<IString> toLowerCase() const override;
    P<IString> toUpperCase() const override;
    P<IString> foldCase() const override;

    bool isEmpty() const override;
    bool hasEncoding(uint32_t tag) const override;
    P<ICharEncoding> getEncoding() const override;
    int32_t getLength() const override;
    bool isNullTerminated() const override;
    const void* getData() const override;
    int32_t getByteLength() const override;

    uint32_t getCharAt(int32_t index) const override;
    int32_t indexOf(const IString* search, int32_t from = 0) const override;
    int32_t indexOfChar(uint32_t codePoint, int32_t from = 0) const override;
    int32_t lastIndexOf(const IString* search) const override;
    int32_t lastIndexOfChar(uint32_t codePoint) const override;
    bool startsWith(const IString* prefix) const override;
    bool endsWith(const IString* suffix) const override;

    // Throws CInvalidArgError for an unknown tag.
    P<IString> convert(uint32_t tag) const override;
    P<IString> toNullTerminated() const override;
    // Texts of one encoding are joined byte for byte.
    P<IString> concat(const IString* other) const override;
    P<IString> slice(int32_t start, int32_t count = -1) const override;
    P<IString> trim() const override;

    std::string toUTF8() const override;
    std::u16string toUTF16() const override;
    std::u32string toUTF32() const override;
    std::string toCodePage() const override;

protected:
    // The string that owns the bytes; a slice answers its source.
    virtual const IString* getDataOwner() const;

private:
    P<IString> self() const;
    // Every byte is one code unit of a valid one-unit character, so the bytes
    // are exactly the text.
    bool hasOnlySingleUnitChars() const;
    int32_t bytePositionOf(int32_t index) const;
    P<IString> mapCase(uint32_t (*map)(uint32_t)) const;
    // Character index of the first (or last) occurrence at or after `from`.
    int32_t find(const std::u32string& pattern, int32_t from, bool last) const;
    template <class Text> Text encodeAs(const P<ICharEncoding>& target) const;

    const unsigned char* m_data;
    int32_t m_byteLength;
    bool m_ownsData;
    bool m_nullTerminated;
    P<ICharEncoding> m_encoding;
    int32_t m_charCount;
};

} // namespace lumo
