#pragma once

#include "foundation/IConstEnum.h"
#include "foundation/IValue.h"
#include "foundation/String.h"

namespace lumo {

// Values (any objects, nulls allowed) stored under names. Whether names
// differ by case alone is fixed when the list is made. Not locked: its
// owner locks.
class IValueList : public virtual IBase {
public:
    virtual bool isCaseSensitive() const = 0;
    virtual int32_t getCount() const = 0;
    virtual bool contains(const String& name) const = 0;

    // Stores the value under the name; a value the name had is released.
    // The name keeps the form in which it was first set.
    virtual void set(const String& name, const P<IBase>& value) = 0;
    virtual void setString(const String& name, const String& value) = 0;
    virtual void setInt(const String& name, int32_t value) = 0;
    virtual void setInt64(const String& name, int64_t value) = 0;
    virtual void setFloat(const String& name, float value) = 0;
    virtual void setDouble(const String& name, double value) = 0;
    virtual void setBool(const String& name, bool value) = 0;

    // The value of the name; null when absent.
    virtual P<IBase> get(const String& name) const = 0;
    // The typed getters never throw: an absent name or a value of another
    // type gives null, or the empty string for getString.
    virtual String getString(const String& name) const = 0;
    virtual P<IInt> getInt(const String& name) const = 0;
    virtual P<IInt64> getInt64(const String& name) const = 0;
    virtual P<IFloat> getFloat(const String& name) const = 0;
    virtual P<IDouble> getDouble(const String& name) const = 0;
    virtual P<IBool> getBool(const String& name) const = 0;

    // Removes the name and releases its value; false when absent.
    virtual bool remove(const String& name) = 0;
    virtual void clear() = 0;

    // The names (IString elements) as they are now; later changes of the
    // list do not reach the enumeration.
    virtual P<IConstEnum> getNames() const = 0;
};

} // namespace lumo
