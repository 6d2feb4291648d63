#pragma once

#include "foundation/CError.h"
#include "foundation/IURI.h"

namespace lumo {

// An error about a URI (which may be null). The description's %URI% is
// replaced by the URI's display text, or by "<uri unknown>" without a URI.
class CURIError : public CError {
public:
    CURIError(const String& description, const IURI* uri);

    P<CException> clone() const override;

    PC<IURI> getURI() const;

protected:
    // Takes a description that is already complete: nothing is replaced.
    CURIError(const IURI* uri, const String& finishedDescription);

    // The description with %URI% replaced as the public constructor does.
    static String fillURI(const String& description, const IURI* uri);
    // The URI's display text, or "<uri unknown>" for null.
    static String displayTextOf(const IURI* uri);
    // For errors built from a URI alone: the localised text with %URI%
    // replaced by the URI's own text, or the text for no URI.
    static String describeURI(const IURI* uri, const String& key, const String& defaultText,
                              const String& keyWithoutURI, const String& defaultTextWithoutURI);

private:
    PC<IURI> m_uri;
};

} // namespace lumo
