#include "foundation/CString.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CStringSlice.h"
#include "foundation/charProperties.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace lumo {

namespace {

// Stands in for null data: a zero code unit of any width.
alignas(4) const unsigned char emptyText[4] = {};

template <std::size_t N> const IString& notNull(const IString* text, const char (&method)[N])
{
    if (!text)
        throw CInvalidArgError("A null string was passed.", String(method), nullptr, &typeid(CString));
    return *text;
}

// Walks the code points of a string, asking its encoding for a chunk at a
// time rather than for every character.
class CharReader {
public:
    // Starts at character `start`.
    explicit CharReader(const IString& text, int32_t start = 0)
        : m_encoding(text.getEncoding()), m_data(text.getData()), m_size(text.getByteLength()),
          m_position(start > 0 ? m_encoding->skipChars(m_data, m_size, 0, start) : 0)
    {
    }

    // False at the end.
    bool next(uint32_t& codePoint)
    {
        if (m_index == m_count) {
            m_count = m_encoding->decodeMany(m_chunk, chunkSize, m_data, m_size, m_position);
            m_index = 0;
            if (m_count == 0)
                return false;
        }
        codePoint = m_chunk[m_index++];
        return true;
    }

private:
    static constexpr int32_t chunkSize = 64;

    P<ICharEncoding> m_encoding;
    const void* m_data;
    int32_t m_size;
    int32_t m_position;
    uint32_t m_chunk[chunkSize];
    int32_t m_count = 0;
    int32_t m_index = 0;
};

// Encodes text into a growing block that finally becomes a string's own data.
class TextBuilder {
public:
    // `expectedChars` sizes the first block.
    TextBuilder(P<ICharEncoding> encoding, int64_t expectedChars) : m_encoding(std::move(encoding))
    {
        reserve(expectedChars * m_encoding->getUnitSize() + m_encoding->getEncodedLength(0));
    }
    ~TextBuilder() { std::free(m_bytes); }
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;

    void append(uint32_t codePoint)
    {
        if (m_pendingCount == chunkSize)
            flush();
        m_pending[m_pendingCount++] = codePoint;
    }

    void append(const std::u32string& text)
    {
        for (char32_t codePoint : text)
            append(codePoint);
    }

    void appendText(const IString& text)
    {
        uint32_t codePoint;
        for (CharReader reader(text); reader.next(codePoint);)
            append(codePoint);
    }

    void appendBytes(const void* bytes, int32_t length)
    {
        flush();
        reserve(length);
        std::memcpy(m_bytes + m_length, bytes, length);
        m_length += length;
    }

    // Copies the bytes so far into a standard string of code units.
    template <class Text> Text copyOut()
    {
        flush();
        Text text(m_length / sizeof(typename Text::value_type), 0);
        if (!text.empty())
            std::memcpy(text.data(), m_bytes, text.size() * sizeof(typename Text::value_type));
        return text;
    }

    // The terminated string, which takes over the block. `charCount` -1:
    // counted by the string.
    P<IString> finish(int32_t charCount)
    {
        flush();
        int32_t terminator = m_encoding->getEncodedLength(0);
        reserve(terminator);
        m_encoding->encode(0, m_bytes, m_capacity, m_length);
        if (void* fitted = std::realloc(m_bytes, m_length + terminator)) {
            m_bytes = static_cast<unsigned char*>(fitted);
            m_capacity = m_length + terminator;
        }
        P<IString> text = make<CString>(m_bytes, m_length, charCount, true, m_encoding, CString::Mode::adopt);
        m_bytes = nullptr;
        return text;
    }

private:
    static constexpr int32_t chunkSize = 64;

    void flush()
    {
        for (int32_t done = 0; done < m_pendingCount;) {
            reserve((m_pendingCount - done) * m_encoding->getMaxCharLength());
            int32_t consumed =
                m_encoding->encodeMany(m_pending + done, m_pendingCount - done, m_bytes, m_capacity, m_length);
            if (consumed == 0)
                reserve(m_capacity); // The locale's bound was too small: make room anyway.
            done += consumed;
        }
        m_pendingCount = 0;
    }

    void reserve(int64_t extra)
    {
        int64_t needed = m_length + extra;
        if (needed <= m_capacity)
            return;
        if (needed > INT32_MAX)
            throw std::bad_alloc();
        int64_t doubled = 2 * static_cast<int64_t>(m_capacity);
        int64_t capacity = std::min<int64_t>(std::max(needed, doubled), INT32_MAX);
        void* block = std::realloc(m_bytes, capacity);
        if (!block)
            throw std::bad_alloc();
        m_bytes = static_cast<unsigned char*>(block);
        m_capacity = static_cast<int32_t>(capacity);
    }

    P<ICharEncoding> m_encoding;
    unsigned char* m_bytes = nullptr;
    int32_t m_capacity = 0;
    int32_t m_length = 0;
    uint32_t m_pending[chunkSize];
    int32_t m_pendingCount = 0;
};

// Finds a non-empty sequence of code points in a stream of them without
// reading anything twice (Knuth-Morris-Pratt).
class PatternMatcher {
public:
    // `overlapping`: the tail of an occurrence may begin the next one.
    PatternMatcher(const std::u32string& pattern, bool overlapping)
        : m_pattern(pattern), m_fallback(pattern.size(), 0), m_overlapping(overlapping)
    {
        for (size_t i = 1, matched = 0; i < m_pattern.size(); ++i) {
            while (matched > 0 && m_pattern[i] != m_pattern[matched])
                matched = m_fallback[matched - 1];
            if (m_pattern[i] == m_pattern[matched])
                ++matched;
            m_fallback[i] = matched;
        }
    }

    // Takes the next code point; true when it completes an occurrence.
    // Without overlapping, the code points that turn out to lie outside
    // every occurrence are handed to `release`, in order.
    template <class Release> bool feed(uint32_t codePoint, Release&& release)
    {
        while (m_matched > 0 && m_pattern[m_matched] != codePoint) {
            size_t kept = m_fallback[m_matched - 1];
            releasePrefix(m_matched - kept, release);
            m_matched = kept;
        }
        if (m_pattern[m_matched] != codePoint) {
            release(codePoint);
            return false;
        }
        if (++m_matched < m_pattern.size())
            return false;
        m_matched = m_overlapping ? m_fallback[m_matched - 1] : 0;
        return true;
    }

    // Releases what was held as the possible start of an occurrence.
    template <class Release> void finish(Release&& release)
    {
        releasePrefix(m_matched, release);
        m_matched = 0;
    }

private:
    // While matching, the held code points are the pattern's first ones.
    template <class Release> void releasePrefix(size_t count, Release& release)
    {
        for (size_t i = 0; i < count; ++i)
            release(m_pattern[i]);
    }

    std::u32string m_pattern;
    // For each matched length, the longest proper prefix that is also a suffix.
    std::vector<size_t> m_fallback;
    bool m_overlapping;
    size_t m_matched = 0;
};

template <class Map>
int compareCodePoints(const IString& mine, int32_t start, const IString& theirs, int32_t count, Map map)
{
    CharReader own(mine, start);
    CharReader other(theirs);
    uint32_t a;
    uint32_t b;
    for (int32_t compared = 0; count < 0 || compared < count; ++compared) {
        if (!other.next(b))
            return own.next(a) ? 1 : 0;
        if (!own.next(a))
            return -1;
        a = map(a);
        b = map(b);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return 0;
}

uint32_t identity(uint32_t codePoint) { return codePoint; }

// Whether the encoding writes the code point so that it reads back the same.
bool canHold(ICharEncoding& encoding, uint32_t codePoint)
{
    unsigned char bytes[16]; // room for a character of any multi-byte locale
    int32_t end = encoding.encode(codePoint, bytes, sizeof bytes, 0);
    uint32_t decoded;
    return end > 0 && encoding.decode(decoded, bytes, end, 0) == end && decoded == codePoint;
}

unsigned char* copyWithTerminator(ICharEncoding& encoding, const void* data, int32_t length)
{
    int32_t terminator = encoding.getEncodedLength(0);
    auto* block = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(length) + terminator));
    if (!block)
        throw std::bad_alloc();
    if (length > 0)
        std::memcpy(block, data, length);
    encoding.encode(0, block, length + terminator, length);
    return block;
}

} // namespace

CString::CString(const void* data, int32_t byteLength, int32_t charCount, bool nullTerminated,
                 P<ICharEncoding> encoding, Mode mode)
    : m_data(nullptr), m_byteLength(0), m_ownsData(false), m_nullTerminated(false), m_encoding(std::move(encoding)),
      m_charCount(0)
{
    if (!m_encoding)
        throw CInvalidArgError("No character encoding was given.", "CString", nullptr, &typeid(CString));
    if (byteLength < -1)
        throw CInvalidArgError("The byte length is below -1.", "CString", nullptr, &typeid(CString));
    if (!data) {
        data = emptyText;
        byteLength = 0;
        nullTerminated = true;
        mode = Mode::borrow;
    }
    if (byteLength < 0) {
        byteLength = m_encoding->getTerminatedLength(data);
        nullTerminated = true;
    }
    m_byteLength = byteLength;
    m_charCount = charCount >= 0 ? charCount : m_encoding->countChars(data, byteLength, 0);
    if (mode == Mode::copy) {
        m_data = copyWithTerminator(*m_encoding, data, byteLength);
        m_ownsData = true;
        m_nullTerminated = true;
    } else {
        m_data = static_cast<const unsigned char*>(data);
        m_ownsData = mode == Mode::adopt;
        m_nullTerminated = nullTerminated;
    }
}

CString::~CString()
{
    if (m_ownsData)
        std::free(const_cast<unsigned char*>(m_data));
}

P<IString> CString::toString() const { return self(); }

int CString::compareTo(const IBase* other) const
{
    if (const auto* text = dynamic_cast<const IString*>(other))
        return compare(text);
    if (!other)
        return 1;
    return std::strcmp(typeid(*this).name(), typeid(*other).name()) < 0 ? -1 : 1;
}

uint32_t CString::getHash() const
{
    uint32_t hash = 0;
    uint32_t c;
    for (CharReader reader(*this); reader.next(c);)
        hash = ((hash & 0x0FFFFFFF) << 3) ^ ((static_cast<uint32_t>(static_cast<int32_t>(hash) >> 2) ^ c) & 0x7FFFFFFF);
    return hash;
}

int CString::compare(const IString* other, int32_t start, int32_t count) const
{
    return compareCodePoints(*this, start, notNull(other, "compare"), count, identity);
}

bool CString::equals(const IString* other, int32_t start, int32_t count) const
{
    const IString& text = notNull(other, "equals");
    start = std::clamp(start, 0, m_charCount);
    if (count < 0) {
        if (text.getLength() != m_charCount - start)
            return false;
        // Equal bytes are equal text; unequal bytes may still differ only
        // in skipped invalid bytes.
        if (start == 0 && text.hasEncoding(m_encoding->getTag()) && text.getByteLength() == m_byteLength &&
            std::memcmp(text.getData(), m_data, m_byteLength) == 0)
            return true;
    }
    return compare(&text, start, count) == 0;
}

int CString::compareIgnoringCase(const IString* other) const
{
    return compareCodePoints(*this, 0, notNull(other, "compareIgnoringCase"), -1, foldedCaseOf);
}

bool CString::equalsIgnoringCase(const IString* other) const
{
    const IString& text = notNull(other, "equalsIgnoringCase");
    return text.getLength() == m_charCount && compareIgnoringCase(&text) == 0;
}

P<IString> CString::replace(const IString* search, const IString* replacement) const
{
    std::u32string sought = notNull(search, "replace").toUTF32();
    const IString& inserted = notNull(replacement, "replace");
    if (sought.empty() || find(sought, 0, false) < 0)
        return self();
    TextBuilder out(inserted.hasEncoding(m_encoding->getTag()) ? m_encoding : getUTF8Encoding(), m_charCount);
    std::u32string insertedText = inserted.toUTF32();
    PatternMatcher matcher(sought, false);
    auto keep = [&out](uint32_t codePoint) { out.append(codePoint); };
    uint32_t c;
    for (CharReader reader(*this); reader.next(c);)
        if (matcher.feed(c, keep))
            out.append(insertedText);
    matcher.finish(keep);
    return out.finish(-1);
}

P<IString> CString::toLowerCase() const { return mapCase(lowerCaseOf); }

P<IString> CString::toUpperCase() const { return mapCase(upperCaseOf); }

P<IString> CString::foldCase() const { return mapCase(foldedCaseOf); }

P<IString> CString::mapCase(uint32_t (*map)(uint32_t)) const
{
    bool changed = false;
    bool representable = true;
    uint32_t c;
    for (CharReader reader(*this); reader.next(c);) {
        uint32_t mapped = map(c);
        if (mapped != c) {
            changed = true;
            representable = representable && canHold(*m_encoding, mapped);
        }
    }
    if (!changed)
        return self();
    TextBuilder out(representable ? m_encoding : getUTF8Encoding(), m_charCount);
    for (CharReader reader(*this); reader.next(c);)
        out.append(map(c));
    return out.finish(representable ? m_charCount : -1);
}

bool CString::isEmpty() const { return m_charCount == 0; }

bool CString::hasEncoding(uint32_t tag) const { return m_encoding->getTag() == tag; }

P<ICharEncoding> CString::getEncoding() const { return m_encoding; }

int32_t CString::getLength() const { return m_charCount; }

bool CString::isNullTerminated() const { return m_nullTerminated; }

const void* CString::getData() const { return m_data; }

int32_t CString::getByteLength() const { return m_byteLength; }

uint32_t CString::getCharAt(int32_t index) const
{
    if (index < 0 || index >= m_charCount)
        return 0;
    uint32_t codePoint = 0;
    m_encoding->decodeSkipping(codePoint, m_data, m_byteLength, bytePositionOf(index));
    return codePoint;
}

int32_t CString::indexOf(const IString* search, int32_t from) const
{
    return find(notNull(search, "indexOf").toUTF32(), from, false);
}

int32_t CString::indexOfChar(uint32_t codePoint, int32_t from) const
{
    return find(std::u32string(1, codePoint), from, false);
}

int32_t CString::lastIndexOf(const IString* search) const
{
    return find(notNull(search, "lastIndexOf").toUTF32(), 0, true);
}

int32_t CString::lastIndexOfChar(uint32_t codePoint) const { return find(std::u32string(1, codePoint), 0, true); }

int32_t CString::find(const std::u32string& pattern, int32_t from, bool last) const
{
    from = std::max(from, 0);
    if (pattern.empty())
        return last ? m_charCount : std::min(from, m_charCount);
    PatternMatcher matcher(pattern, true);
    auto ignore = [](uint32_t) {};
    int32_t found = -1;
    int32_t end = from;
    uint32_t c;
    for (CharReader reader(*this, from); reader.next(c);) {
        ++end;
        if (matcher.feed(c, ignore)) {
            found = end - static_cast<int32_t>(pattern.size());
            if (!last)
                break;
        }
    }
    return found;
}

bool CString::startsWith(const IString* prefix) const
{
    const IString& text = notNull(prefix, "startsWith");
    int32_t length = text.getLength();
    return length <= m_charCount && compare(&text, 0, length) == 0;
}

bool CString::endsWith(const IString* suffix) const
{
    const IString& text = notNull(suffix, "endsWith");
    int32_t length = text.getLength();
    return length <= m_charCount && compare(&text, m_charCount - length) == 0;
}

P<IString> CString::convert(uint32_t tag) const
{
    P<ICharEncoding> target = getCharEncoding(tag);
    if (!target)
        throw CInvalidArgError("Unknown character encoding tag.", "convert", nullptr, &typeid(*this));
    if (hasEncoding(tag))
        return toNullTerminated();
    TextBuilder out(target, m_charCount);
    out.appendText(*this);
    return out.finish(-1);
}

P<IString> CString::toNullTerminated() const
{
    if (m_nullTerminated)
        return self();
    return make<CString>(m_data, m_byteLength, m_charCount, false, m_encoding, Mode::copy);
}

P<IString> CString::concat(const IString* other) const
{
    const IString& text = notNull(other, "concat");
    bool sameEncoding = text.hasEncoding(m_encoding->getTag());
    if (text.getByteLength() == 0 && (sameEncoding || hasEncoding(ICharEncoding::utf8Tag)))
        return self();
    if (m_byteLength == 0 && (sameEncoding || text.hasEncoding(ICharEncoding::utf8Tag)))
        return P<IString>(const_cast<IString*>(&text));
    if (!sameEncoding) {
        TextBuilder out(getUTF8Encoding(), static_cast<int64_t>(m_charCount) + text.getLength());
        out.appendText(*this);
        out.appendText(text);
        return out.finish(-1);
    }
    // Joined bytes may pair up invalid ends into a character: count anew
    // unless both sides are plainly valid.
    bool plain = hasOnlySingleUnitChars() &&
                 static_cast<int64_t>(text.getLength()) * m_encoding->getUnitSize() == text.getByteLength();
    TextBuilder out(m_encoding, static_cast<int64_t>(m_charCount) + text.getLength());
    out.appendBytes(m_data, m_byteLength);
    out.appendBytes(text.getData(), text.getByteLength());
    return out.finish(plain ? m_charCount + text.getLength() : -1);
}

P<IString> CString::slice(int32_t start, int32_t count) const
{
    start = std::clamp(start, 0, m_charCount);
    int32_t available = m_charCount - start;
    if (count < 0 || count > available)
        count = available;
    if (count == m_charCount)
        return self();
    int32_t begin = bytePositionOf(start);
    bool toEnd = count == available;
    int32_t end = toEnd ? m_byteLength : m_encoding->skipChars(m_data, m_byteLength, begin, count);
    // A slice that runs to the end shares this string's terminator.
    return make<CStringSlice>(P<IString>(const_cast<IString*>(getDataOwner())), m_data + begin, end - begin, count,
                              toEnd && m_nullTerminated);
}

P<IString> CString::trim() const
{
    int32_t first = -1;
    int32_t end = 0;
    int32_t index = 0;
    uint32_t c;
    for (CharReader reader(*this); reader.next(c); ++index) {
        if (isWhiteSpace(c))
            continue;
        if (first < 0)
            first = index;
        end = index + 1;
    }
    return first < 0 ? slice(0, 0) : slice(first, end - first);
}

std::string CString::toUTF8() const { return encodeAs<std::string>(getUTF8Encoding()); }

std::u16string CString::toUTF16() const { return encodeAs<std::u16string>(getUTF16Encoding()); }

std::u32string CString::toUTF32() const { return encodeAs<std::u32string>(getUTF32Encoding()); }

std::string CString::toCodePage() const { return encodeAs<std::string>(getCodePageEncoding()); }

template <class Text> Text CString::encodeAs(const P<ICharEncoding>& target) const
{
    if (hasEncoding(target->getTag()) && hasOnlySingleUnitChars()) {
        Text text(m_byteLength / sizeof(typename Text::value_type), 0);
        if (!text.empty())
            std::memcpy(text.data(), m_data, m_byteLength);
        return text;
    }
    TextBuilder out(target, m_charCount);
    out.appendText(*this);
    return out.copyOut<Text>();
}

const IString* CString::getDataOwner() const { return this; }

P<IString> CString::self() const { return P<IString>(const_cast<CString*>(this)); }

bool CString::hasOnlySingleUnitChars() const
{
    return static_cast<int64_t>(m_charCount) * m_encoding->getUnitSize() == m_byteLength;
}

int32_t CString::bytePositionOf(int32_t index) const { return m_encoding->skipChars(m_data, m_byteLength, 0, index); }

} // namespace lumo
