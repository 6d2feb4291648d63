#pragma once

#include "foundation/CInvalidArgError.h"
#include "foundation/CObject.h"
#include "foundation/castObject.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"
#include "streams/ISeekableStream.h"

#include <initializer_list>
#include <typeinfo>
#include <utility>

namespace lumo {

// What the two data streams share: the stream they wrap, the stream
// operations that pass straight through to it, and the marker and seek
// operations, which they offer only when the wrapped stream does.
// Not locked: whoever shares the stream holds its lock around each value.
template <class Wrapped> class TDataStream : public CObject, public virtual ISeekableStream {
public:
    // Keeps a reference to `stream`; throws CInvalidArgError when it is null.
    explicit TDataStream(P<Wrapped> stream) : m_stream(std::move(stream))
    {
        if (!m_stream)
            throw CInvalidArgError("The wrapped stream is null.", "constructor", nullptr, &typeid(TDataStream));
    }

    int64_t getPosition() override { return m_stream->getPosition(); }
    int64_t getSize() override { return m_stream->getSize(); }
    bool isClosed() override { return m_stream->isClosed(); }
    // Closes the wrapped stream.
    void close() override { m_stream->close(); }
    P<IURI> getURI() override { return m_stream->getURI(); }

    // These throw CCastError when the wrapped stream cannot go back or seek.
    P<IStreamMarker> createMarker() override { return castObject<IResetableStream>(m_stream)->createMarker(); }
    void resetToMarker(IStreamMarker& marker) override
    {
        castObject<IResetableStream>(m_stream)->resetToMarker(marker);
    }
    void seek(int64_t position) override { castObject<ISeekableStream>(m_stream)->seek(position); }
    void seekFromEnd(int64_t delta) override { castObject<ISeekableStream>(m_stream)->seekFromEnd(delta); }
    void seekRelative(int64_t delta) override { castObject<ISeekableStream>(m_stream)->seekRelative(delta); }

    // Refuses the resetable and seekable interfaces unless the wrapped
    // stream offers them, so that a cast never hands out operations that
    // could only fail.
    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override
    {
        if (isOneOf(type, {&typeid(ISeekableStream), &typeid(ISeekableInStream), &typeid(ISeekableOutStream),
                           &typeid(ISeekableDataInStream), &typeid(ISeekableDataOutStream)}))
            return castObject<ISeekableStream>(m_stream, false) != nullptr;
        if (isOneOf(type, {&typeid(IResetableStream), &typeid(IResetableInStream), &typeid(IResetableOutStream),
                           &typeid(IResetableDataInStream), &typeid(IResetableDataOutStream)}))
            return castObject<IResetableStream>(m_stream, false) != nullptr;
        return CObject::getInterface(type, redirect, candidates);
    }

protected:
    Wrapped& stream() const { return *m_stream; }

private:
    static bool isOneOf(const std::type_info& type, std::initializer_list<const std::type_info*> types)
    {
        for (const std::type_info* candidate : types)
            if (type == *candidate)
                return true;
        return false;
    }

    P<Wrapped> m_stream;
};

} // namespace lumo
