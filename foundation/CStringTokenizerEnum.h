#pragma once

#include "foundation/CObject.h"
#include "foundation/IEnum.h"
#include "foundation/String.h"

#include <vector>

namespace lumo {

// Walks the parts of a text split at separator characters, handing each part
// out as an IString that shares the text's bytes. Every character of
// `separators` separates.
//
// Without bReturnEmptyParts, runs of separators count as one and separators
// at either end give no part: "  a  b " split at " " gives "a" and "b", an
// empty text nothing. With it, every separator ends a part: ",a,,b" split at
// "," gives "", "a", "", "b", and an empty text gives one empty part.
class CStringTokenizerEnum : public CObject, public virtual IEnum {
public:
    CStringTokenizerEnum(const String& text, const String& separators, bool bReturnEmptyParts = false);

    bool hasMoreElements() override;
    int32_t getRemainingCount() override;
    // Throws CEndOfEnumError when no part is left.
    P<IBase> nextElement() override;
    void reset() override;
    // Throws CEndOfEnumError when no part is left.
    void skip() override;

private:
    // A part as a character range of the text.
    struct Part {
        int32_t start;
        int32_t length;
    };

    static std::vector<Part> split(const String& text, const String& separators, bool bReturnEmptyParts);

    String m_text;
    std::vector<Part> m_parts;
    size_t m_next = 0;
};

} // namespace lumo
