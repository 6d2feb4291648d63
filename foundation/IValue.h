#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace lumo {

// A boxed value, so that numbers and flags can go wherever an IBase goes.
// Not locked: whoever shares one between threads locks it.
template <class V> class IValue : public virtual IBase {
public:
    using Value = V;

    // Stores the value and returns it.
    virtual V set(V value) = 0;
    virtual V get() const = 0;
};

class IInt : public virtual IValue<int32_t> {};
class IInt64 : public virtual IValue<int64_t> {};
class IFloat : public virtual IValue<float> {};
class IDouble : public virtual IValue<double> {};
class IBool : public virtual IValue<bool> {};

} // namespace lumo
