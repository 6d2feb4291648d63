#pragma once

#include "foundation/CString.h"

namespace lumo {

// A run of another string's bytes, shared without copying. The slice holds
// its source, so the bytes live as long as the slice.
class CStringSlice : public CString {
public:
    // `data` points to `byteLength` bytes inside the data of `source` (not
    // null), which hold `charCount` characters; `nullTerminated` when they
    // run to the terminator of `source`.
    CStringSlice(P<IString> source, const void* data, int32_t byteLength, int32_t charCount, bool nullTerminated);

protected:
    const IString* getDataOwner() const override;

private:
    P<IString> m_source;
};

} // namespace lumo
