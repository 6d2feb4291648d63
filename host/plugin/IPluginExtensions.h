#pragma once

#include "streams/ISerializable.h"

#include <cstdint>

namespace nebo::common {

// The file extensions (without the dot) that a plugin accepts. It crosses
// the pipe as a count and the extensions as strings.
class IPluginExtensions : public virtual lumo::ISerializable {
public:
    virtual int32_t getExtensionCount() = 0;
    // The zero-terminated UTF-16 text of extension `index`, which must be
    // below the count; valid while the list lives and is not changed.
    virtual const char16_t* getExtension(int32_t index) = 0;
};

} // namespace nebo::common
