#include "foundation/CValueList.h"

#include "foundation/TValue.h"
#include "foundation/castObject.h"

namespace lumo {

CValueList::CValueList(bool bCaseSensitive) : m_bCaseSensitive(bCaseSensitive) {}

bool CValueList::isCaseSensitive() const { return m_bCaseSensitive; }

int32_t CValueList::getCount() const { return m_table.getCount(); }

bool CValueList::contains(const String& name) const { return m_table.find(makeKey(name)) != nullptr; }

void CValueList::set(const String& name, const P<IBase>& value)
{
    String key = makeKey(name);
    if (Entry* entry = m_table.find(key))
        entry->value = value;
    else
        m_table.insert(std::make_unique<Entry>(std::move(key), name, value));
}

void CValueList::setString(const String& name, const String& value) { set(name, value.get()); }

void CValueList::setInt(const String& name, int32_t value) { set(name, make<CInt>(value)); }

void CValueList::setInt64(const String& name, int64_t value) { set(name, make<CInt64>(value)); }

void CValueList::setFloat(const String& name, float value) { set(name, make<CFloat>(value)); }

void CValueList::setDouble(const String& name, double value) { set(name, make<CDouble>(value)); }

void CValueList::setBool(const String& name, bool value) { set(name, make<CBool>(value)); }

P<IBase> CValueList::get(const String& name) const
{
    const Entry* entry = m_table.find(makeKey(name));
    return entry ? entry->value : nullptr;
}

String CValueList::getString(const String& name) const
{
    P<IString> text = castObject<IString>(get(name), false);
    return text ? String(text) : String();
}

P<IInt> CValueList::getInt(const String& name) const { return castObject<IInt>(get(name), false); }

P<IInt64> CValueList::getInt64(const String& name) const { return castObject<IInt64>(get(name), false); }

P<IFloat> CValueList::getFloat(const String& name) const { return castObject<IFloat>(get(name), false); }

P<IDouble> CValueList::getDouble(const String& name) const { return castObject<IDouble>(get(name), false); }

P<IBool> CValueList::getBool(const String& name) const { return castObject<IBool>(get(name), false); }

bool CValueList::remove(const String& name) { return m_table.remove(makeKey(name)); }

void CValueList::clear() { m_table.clear(); }

P<IConstEnum> CValueList::getNames() const { return make<CNameEnum>(*this); }

int32_t CValueList::getBucketCount() const { return m_table.getBucketCount(); }

String CValueList::makeKey(const String& name) const { return m_bCaseSensitive ? name : String(name->foldCase()); }

CValueList::CNameEnum::CNameEnum(const CValueList& list) : CConstEnum(collectNames(list)) {}

PC<IConstArray> CValueList::CNameEnum::collectNames(const CValueList& list)
{
    TSimpleArray<P<IBase>> names;
    names.reserve(list.getCount());
    list.m_table.forEach([&names](const Entry& entry) { names.add(entry.name.get()); });
    return make<CConstArray>(names);
}

} // namespace lumo
