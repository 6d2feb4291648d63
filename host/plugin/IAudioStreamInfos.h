#pragma once

#include "streams/ISerializable.h"

namespace nebo::common {

// The sound streams a source offers, in the plugin's own class and form;
// the host only passes it on.
class IAudioStreamInfos : public virtual lumo::ISerializable {};

} // namespace nebo::common
