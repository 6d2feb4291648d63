#pragma once

#include "foundation/CObject.h"
#include "foundation/IValue.h"

namespace lumo {

// The one implementation behind the boxed values; I is one of the value
// interfaces. The concrete classes below exist so that every kind of value
// has its own class name in messages.
template <class I> class TValue : public CObject, public virtual I {
public:
    using Value = typename I::Value;

    explicit TValue(Value value) : m_value(value) {}

    Value set(Value value) override { return m_value = value; }
    Value get() const override { return m_value; }

private:
    Value m_value;
};

class CInt : public TValue<IInt> {
public:
    using TValue::TValue;
};

class CInt64 : public TValue<IInt64> {
public:
    using TValue::TValue;
};

class CFloat : public TValue<IFloat> {
public:
    using TValue::TValue;
};

class CDouble : public TValue<IDouble> {
public:
    using TValue::TValue;
};

class CBool : public TValue<IBool> {
public:
    using TValue::TValue;
};

} // namespace lumo
