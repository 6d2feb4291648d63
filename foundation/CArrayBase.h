#pragma once

#include "foundation/CObject.h"
#include "foundation/IConstArray.h"
#include "foundation/String.h"
#include "foundation/TSimpleArray.h"

namespace lumo {

// The reading half that CArray and CConstArray share. Not locked.
class CArrayBase : public CObject, public virtual IConstArray {
public:
    int32_t getCount() const override;
    bool isEmpty() const override;
    bool contains(const IBase* object) const override;
    P<IBase> get(int32_t index) const override;
    int32_t indexOf(const IBase* object) const override;

protected:
    // Throws CInvalidArgError naming the method unless 0 <= index <= last.
    void checkIndex(int32_t index, int32_t last, const String& method) const;

    TSimpleArray<P<IBase>> m_elements;
};

} // namespace lumo
