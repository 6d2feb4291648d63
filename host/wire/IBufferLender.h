#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace nebo::common {

// What lends the buffers of a shared ring to blocks: a block holds its
// lender and gives its buffer back as its last reference goes, so neither
// needs to know the other's class.
class IBufferLender : public virtual lumo::IBase {
public:
    // Frees buffer `index` for the next taker. Any thread; never throws.
    virtual void giveBack(int32_t index) noexcept = 0;
};

} // namespace nebo::common
