#pragma once

#include "foundation/CObject.h"
#include "foundation/castObject.h"
#include "streams/IStreamMarker.h"

#include <cstdint>

namespace lumo {

// A position of one stream of class S, which returns to it through its own
// resetToMarker(). The marker holds its stream.
template <class S> class TStreamMarker : public CObject, public virtual IStreamMarker {
public:
    TStreamMarker(P<S> stream, int64_t position) : m_stream(std::move(stream)), m_position(position) {}

    void reset() override { m_stream->resetToMarker(*this); }

    // The position that `marker` holds for `stream`. Throws CCastError for a
    // marker of another class, or of another stream.
    static int64_t getPositionFor(IStreamMarker& marker, const S* stream)
    {
        P<TStreamMarker> ours = castObject<TStreamMarker>(static_cast<IBase*>(&marker));
        if (ours->m_stream.get() != stream)
            throw CCastError(&marker, &typeid(TStreamMarker));
        return ours->m_position;
    }

private:
    P<S> m_stream;
    const int64_t m_position;
};

} // namespace lumo
