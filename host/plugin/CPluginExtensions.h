#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "host/plugin/IPluginExtensions.h"

#include <string>
#include <vector>

namespace nebo::common {

// A list of own copies of extension texts. Not locked: filled by one
// thread before others read it.
class CPluginExtensions : public lumo::CObject, public virtual IPluginExtensions {
public:
    int32_t getExtensionCount() override;
    // Throws CInvalidArgError for an index outside the list.
    const char16_t* getExtension(int32_t index) override;

    // Appends a copy of the zero-terminated text. Throws CInvalidArgError
    // for null.
    void addExtension(const char16_t* extension);
    void addExtension(const lumo::String& extension);

    // The count, then each extension as a string.
    void write(lumo::IDataOutStream& out) override;
    // Appends the extensions read. A count below 0 or above the stream's
    // item bound throws CParseError; the list changes only when the whole
    // body has been read.
    bool read(lumo::IDataInStream& in) override;

private:
    std::vector<std::u16string> m_extensions;
};

} // namespace nebo::common
