#pragma once

#include "foundation/CArrayBase.h"
#include "foundation/IArray.h"
#include "foundation/TArrayEnum.h"

namespace lumo {

// A growable list of objects (nulls allowed); holds a reference to each.
// Not locked: its owner locks.
class CArray : public CArrayBase, public virtual IArray {
public:
    class CEnum;
    class CConstEnum;

    P<IConstEnum> getConstEnum() const override;

    void add(const P<IBase>& object) override;
    bool remove(const IBase* object) override;
    void clear() override;
    P<IEnum> getEnum() override;

    void set(int32_t index, const P<IBase>& object) override;
    void insert(int32_t index, const P<IBase>& object) override;
    void removeAt(int32_t index) override;
};

class CArray::CEnum : public TArrayEnum<IEnum> {
public:
    using TArrayEnum::TArrayEnum;
    void skip() override;
};

class CArray::CConstEnum : public TArrayEnum<IConstEnum> {
public:
    using TArrayEnum::TArrayEnum;
};

} // namespace lumo
