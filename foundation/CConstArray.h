#pragma once

#include "foundation/CArrayBase.h"
#include "foundation/TArrayEnum.h"

namespace lumo {

// A list of objects fixed at construction; holds a reference to each.
// Never changes, so it may be read from several threads at once.
class CConstArray : public CArrayBase {
public:
    class CConstEnum;

    CConstArray() = default;
    // Copies the elements; later changes of `elements` do not reach the array.
    explicit CConstArray(const TSimpleArray<P<IBase>>& elements);

    P<IConstEnum> getConstEnum() const override;
};

class CConstArray::CConstEnum : public TArrayEnum<IConstEnum> {
public:
    using TArrayEnum::TArrayEnum;
};

} // namespace lumo
