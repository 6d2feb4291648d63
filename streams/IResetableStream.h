#pragma once

#include "foundation/P.h"
#include "streams/IIOStream.h"
#include "streams/IInStream.h"
#include "streams/IOutStream.h"
#include "streams/IStreamMarker.h"

namespace lumo {

// A stream that can go back to a position it marked.
class IResetableStream : public virtual IStreamBase {
public:
    virtual P<IStreamMarker> createMarker() = 0;
    // Throws CCastError for a marker of another kind of stream.
    virtual void resetToMarker(IStreamMarker& marker) = 0;
};

class IResetableInStream : public virtual IInStream, public virtual IResetableStream {};
class IResetableOutStream : public virtual IOutStream, public virtual IResetableStream {};
class IResetableIOStream : public virtual IIOStream, public virtual IResetableStream {};

} // namespace lumo
