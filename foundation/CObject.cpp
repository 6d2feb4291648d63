#include "foundation/CObject.h"

#include "foundation/String.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace lumo {

void CObject::addRef() const { addReference(); }

void CObject::release() const { releaseReference(); }

bool CObject::getInterface(const std::type_info&, P<IBase>&, Candidates&) { return true; }

P<IString> CObject::toString() const { return String::fromUTF8(getClassName(typeid(*this)) + " object").get(); }

std::string getClassName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                          &std::free);
    return std::string("class ") + (status == 0 && demangled ? demangled.get() : type.name());
}

} // namespace lumo
