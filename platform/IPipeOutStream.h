#pragma once

#include "streams/IOutStream.h"

namespace lumo {

// The writing end of a pipe connection, or a server's broadcast to all its
// clients. One write leaves in one piece.
class IPipeOutStream : public virtual IOutStream {};

} // namespace lumo
