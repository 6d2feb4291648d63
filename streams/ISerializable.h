#pragma once

#include "foundation/IBase.h"

namespace lumo {

class IDataInStream;
class IDataOutStream;

// An object that writes its own body into a data stream and reads it back.
// The reader supplies an object of the writer's class; no type travels.
class ISerializable : public virtual IBase {
public:
    virtual void write(IDataOutStream& out) = 0;
    // Replaces the object's state with a body read from `in`; returns true.
    // Throws the stream's errors when the body is cut short.
    virtual bool read(IDataInStream& in) = 0;
};

} // namespace lumo
