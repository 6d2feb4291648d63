#include "foundation/CURIError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

CURIError::CURIError(const String& description, const IURI* uri) : CURIError(uri, fillURI(description, uri)) {}

CURIError::CURIError(const IURI* uri, const String& finishedDescription)
    : CError(finishedDescription, "Error"), m_uri(uri)
{
}

String CURIError::fillURI(const String& description, const IURI* uri)
{
    if (description.isEmpty())
        return description;
    return description.replace("%URI%", displayTextOf(uri));
}

String CURIError::displayTextOf(const IURI* uri) { return uri ? uri->getDisplayText() : String("<uri unknown>"); }

String CURIError::describeURI(const IURI* uri, const String& key, const String& defaultText,
                              const String& keyWithoutURI, const String& defaultTextWithoutURI)
{
    if (!uri)
        return localize(keyWithoutURI, defaultTextWithoutURI);
    return localize(key, defaultText).replace("%URI%", uri->toString());
}

P<CException> CURIError::clone() const { return make<CURIError>(*this); }

PC<IURI> CURIError::getURI() const { return m_uri; }

} // namespace lumo
