#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace lumo {

// A manual-reset event: once set it releases every waiter, present and
// future, until it is reset. Safe from any thread.
class ISignal : public virtual IBase {
public:
    // Waits without limit.
    static constexpr uint64_t noTimeout = 0xFFFFFFFFu;

    virtual void set() = 0;
    virtual void reset() = 0;
    virtual bool isSet() = 0;
    // True when the signal is set within the timeout. Only the low 32 bits
    // of the timeout count; all ones among them waits without limit.
    virtual bool wait(uint64_t timeoutMs) = 0;
};

} // namespace lumo
