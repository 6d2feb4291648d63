#pragma once

#include "foundation/CConstArray.h"
#include "foundation/IValueList.h"
#include "foundation/TSimpleHashTable.h"

namespace lumo {

// A value list on a chained hash table. A case-insensitive list keys every
// name by its case folding. Not locked: its owner locks.
class CValueList : public CObject, public virtual IValueList {
public:
    class CNameEnum;

    struct Entry {
        Entry(String entryKey, String entryName, P<IBase> entryValue)
            : key(std::move(entryKey)), name(std::move(entryName)), value(std::move(entryValue))
        {
        }

        uint32_t hash = 0;
        String key;
        // As the caller first spelled it.
        String name;
        P<IBase> value;
        Entry* next = nullptr;
    };

    explicit CValueList(bool bCaseSensitive);

    bool isCaseSensitive() const override;
    int32_t getCount() const override;
    bool contains(const String& name) const override;

    void set(const String& name, const P<IBase>& value) override;
    void setString(const String& name, const String& value) override;
    void setInt(const String& name, int32_t value) override;
    void setInt64(const String& name, int64_t value) override;
    void setFloat(const String& name, float value) override;
    void setDouble(const String& name, double value) override;
    void setBool(const String& name, bool value) override;

    P<IBase> get(const String& name) const override;
    String getString(const String& name) const override;
    P<IInt> getInt(const String& name) const override;
    P<IInt64> getInt64(const String& name) const override;
    P<IFloat> getFloat(const String& name) const override;
    P<IDouble> getDouble(const String& name) const override;
    P<IBool> getBool(const String& name) const override;

    bool remove(const String& name) override;
    void clear() override;

    P<IConstEnum> getNames() const override;

    // Shows how far the table has grown: 0 before the first insertion.
    int32_t getBucketCount() const;

private:
    String makeKey(const String& name) const;

    TSimpleHashTable<String, Entry> m_table;
    bool m_bCaseSensitive;
};

// The names of a value list as they were when the enumerator was made.
class CValueList::CNameEnum : public CConstArray::CConstEnum {
public:
    explicit CNameEnum(const CValueList& list);

private:
    static PC<IConstArray> collectNames(const CValueList& list);
};

} // namespace lumo
