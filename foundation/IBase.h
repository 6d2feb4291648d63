#pragma once

#include <typeinfo>
#include <vector>

namespace lumo {

class IString;
template <class T> class P;

// The root of every interface. Interfaces inherit it virtually, so an object
// that implements several of them still has one reference count.
class IBase {
public:
    using Candidates = std::vector<P<IBase>>;

    virtual ~IBase() = default;

    // Reference counting; callable from any thread. The last release destroys
    // the object on the releasing thread.
    virtual void addRef() const = 0;
    virtual void release() const = 0;

    // Capability query behind castObject. Answering false refuses the
    // interface even when the class derives from it; `redirect` may name
    // another object that offers it instead, `candidates` further objects to
    // try when the dynamic cast of this one fails.
    virtual bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) = 0;

    // A text naming the object in messages.
    virtual P<IString> toString() const = 0;
};

} // namespace lumo
