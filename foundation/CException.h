#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"

#include <exception>

namespace lumo {

// The root of every error. An error has a short title (the general
// description) and the full message (the description). Errors are thrown by
// value and caught by reference; clone() makes a counted heap copy for when
// an error must outlive its catch block. An error belongs to one thread at
// a time.
class CException : public std::exception, public CObject {
public:
    CException(const String& description, const String& generalDescription);

    // The description in UTF-8, whatever the locale: the programs never set
    // one, and the C locale's code page would drop every other character.
    // The text lives in a buffer of the calling thread and stays valid until
    // that thread's next what().
    const char* what() const noexcept override;

    virtual P<IString> getGeneralDescription() const;
    virtual P<IString> getDescription() const;
    // A heap copy of the same class, with the same texts and fields.
    virtual P<CException> clone() const;

protected:
    // For subclasses whose message needs values that their base computes.
    void setDescription(const String& description);

private:
    String m_generalDescription;
    String m_description;
};

} // namespace lumo
