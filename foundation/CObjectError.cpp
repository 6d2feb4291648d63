#include "foundation/CObjectError.h"

namespace lumo {

namespace {

const std::type_info* typeOf(IBase* object, const std::type_info* type)
{
    return type || !object ? type : &typeid(*object);
}

String describeObject(IBase* object, const std::type_info* type)
{
    if (object)
        return String("object: ") + String(object->toString());
    if (type)
        return String("object class: ") + String::fromUTF8(getClassName(*type));
    return "unknown object";
}

String fillTemplate(const String& descriptionTemplate, const String& objectText)
{
    if (descriptionTemplate.isEmpty())
        return objectText;
    return descriptionTemplate.replace("%OBJECTDESC%", objectText);
}

} // namespace

CObjectError::CObjectError(IBase* object, const std::type_info* type, const String& descriptionTemplate)
    : CObjectError(object, type, descriptionTemplate, "Object error")
{
}

CObjectError::CObjectError(IBase* object, const std::type_info* type, const String& descriptionTemplate,
                           const String& generalDescription)
    : CError(String(), generalDescription), m_object(object), m_type(typeOf(object, type)),
      m_objectText(describeObject(object, m_type))
{
    setDescription(fillTemplate(descriptionTemplate, m_objectText));
}

P<CException> CObjectError::clone() const { return make<CObjectError>(*this); }

P<IBase> CObjectError::getObject() const { return m_object; }

const std::type_info* CObjectError::getObjectType() const { return m_type; }

const String& CObjectError::getObjectText() const { return m_objectText; }

} // namespace lumo
