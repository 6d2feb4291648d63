#pragma once

#include "foundation/CCPString.h"
#include "foundation/CLatin1String.h"
#include "foundation/CUTF32String.h"
#include "foundation/CUTF8String.h"
#include "foundation/CWCharString.h"

#include <type_traits>

namespace lumo {

// The variant of a typed string that is always null-terminated, for text
// handed to the platform as a terminated array. Adopted and borrowed units
// must be followed by a zero unit.
template <class Unit, class Base> class TNullString : public Base {
    static_assert(std::is_same_v<Unit, typename Base::UnitType>);

public:
    explicit TNullString(const Unit* units, int32_t unitCount = -1, int32_t charCount = -1,
                         CString::Mode mode = CString::Mode::copy)
        : Base(units, unitCount, charCount, true, mode)
    {
    }
};

using CNullLatin1String = TNullString<char, CLatin1String>;
using CNullWCharString = TNullString<char16_t, CWCharString>;
using CNullCPString = TNullString<unsigned char, CCPString>;
using CNullUTF8String = TNullString<unsigned char, CUTF8String>;
using CNullUTF32String = TNullString<char32_t, CUTF32String>;

} // namespace lumo
