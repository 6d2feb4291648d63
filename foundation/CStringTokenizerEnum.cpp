#include "foundation/CStringTokenizerEnum.h"

#include "foundation/CEndOfEnumError.h"

#include <string>

namespace lumo {

CStringTokenizerEnum::CStringTokenizerEnum(const String& text, const String& separators, bool bReturnEmptyParts)
    : m_text(text), m_parts(split(text, separators, bReturnEmptyParts))
{
}

bool CStringTokenizerEnum::hasMoreElements() { return m_next < m_parts.size(); }

int32_t CStringTokenizerEnum::getRemainingCount() { return static_cast<int32_t>(m_parts.size() - m_next); }

P<IBase> CStringTokenizerEnum::nextElement()
{
    if (!hasMoreElements())
        throw CEndOfEnumError(this);
    const Part& part = m_parts[m_next++];
    return m_text.slice(part.start, part.length).get();
}

void CStringTokenizerEnum::reset() { m_next = 0; }

void CStringTokenizerEnum::skip() { nextElement(); }

std::vector<CStringTokenizerEnum::Part> CStringTokenizerEnum::split(const String& text, const String& separators,
                                                                    bool bReturnEmptyParts)
{
    const std::u32string chars = text->toUTF32();
    const std::u32string separatorChars = separators->toUTF32();
    std::vector<Part> parts;
    int32_t start = 0;
    auto endPart = [&](int32_t end) {
        if (bReturnEmptyParts || end > start)
            parts.push_back({start, end - start});
        start = end + 1;
    };
    const int32_t length = static_cast<int32_t>(chars.size());
    for (int32_t i = 0; i < length; ++i)
        if (separatorChars.find(chars[i]) != std::u32string::npos)
            endPart(i);
    endPart(length);
    return parts;
}

} // namespace lumo
