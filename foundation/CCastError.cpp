#include "foundation/CCastError.h"

namespace lumo {

namespace {

String nameOf(const std::type_info* type) { return type ? String::fromUTF8(getClassName(*type)) : String("unknown"); }

} // namespace

CCastError::CCastError(IBase* object, const std::type_info* target)
    : CObjectError(object, nullptr, String(), "Cast error"), m_target(target)
{
    setDescription("Error casting a '" + nameOf(getObjectType()) + "' object to '" + nameOf(target) + "'.");
}

P<CException> CCastError::clone() const { return make<CCastError>(*this); }

const std::type_info* CCastError::getTargetType() const { return m_target; }

} // namespace lumo
