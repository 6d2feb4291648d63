#pragma once

#include "foundation/CError.h"

#include <typeinfo>

namespace lumo {

// An error about one object. The object is counted and kept, so it must be a
// heap object that already has its first reference: never pass an object
// from inside its own constructor. A null object or type is allowed; given an
// object without a type, the object's run-time type is used.
//
// The object text is "object: " and the object's toString(), else
// "object class: " and the type's class name, else "unknown object". The
// description is the template with %OBJECTDESC% replaced by the object text,
// or the object text alone when the template is empty.
class CObjectError : public CError {
public:
    CObjectError(IBase* object, const std::type_info* type, const String& descriptionTemplate);

    P<CException> clone() const override;

    P<IBase> getObject() const;
    // Null when neither an object nor a type was given.
    const std::type_info* getObjectType() const;

protected:
    // For subclasses with a title of their own.
    CObjectError(IBase* object, const std::type_info* type, const String& descriptionTemplate,
                 const String& generalDescription);

    const String& getObjectText() const;

private:
    P<IBase> m_object;
    const std::type_info* m_type;
    String m_objectText;
};

} // namespace lumo
