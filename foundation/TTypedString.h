#pragma once

#include "foundation/CString.h"

namespace lumo {

// A string whose encoding and code-unit type are fixed by its class.
// Lengths are counted in code units of type `Unit`.
template <class Unit, P<ICharEncoding> (*encoding)()> class TTypedString : public CString {
public:
    using UnitType = Unit;

    // As CString, with `unitCount` code units (-1: up to a zero unit).
    explicit TTypedString(const Unit* units, int32_t unitCount = -1, int32_t charCount = -1,
                          bool nullTerminated = false, Mode mode = Mode::copy)
        : CString(units, unitCount < 0 ? unitCount : unitCount * static_cast<int32_t>(sizeof(Unit)), charCount,
                  nullTerminated, encoding(), mode)
    {
    }

    const Unit* getUnits() const { return static_cast<const Unit*>(getData()); }
    int32_t getUnitCount() const { return getByteLength() / static_cast<int32_t>(sizeof(Unit)); }
};

} // namespace lumo
