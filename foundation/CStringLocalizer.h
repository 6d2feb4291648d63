#pragma once

#include "foundation/CObject.h"
#include "foundation/IStringLocalizer.h"

namespace lumo {

class IMutex;
class IValueList;

// A localizer on a table from key to text, with an optional fallback asked
// for keys that have no text here. One lock guards the table and the
// fallback; the fallback is asked outside it. A chain of fallbacks that
// comes back to a localizer it passed yields the default text instead of
// recursing.
class CStringLocalizer : public CObject, public virtual IStringLocalizer {
public:
    CStringLocalizer();

    void clear() override;
    void setFallback(IStringLocalizer* fallback) override;
    void setText(const String& key, const String& text) override;
    P<IString> localize(const String& key, const String& defaultText) override;

private:
    P<IMutex> m_mutex;
    P<IValueList> m_texts;
    P<IStringLocalizer> m_fallback;
};

} // namespace lumo
