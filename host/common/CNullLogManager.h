#pragma once

#include "foundation/CObject.h"
#include "host/plugin/ILogManager.h"

namespace nebo::common {

// The log of a context that nobody asked to log: it keeps nothing, stays at
// level 2 and prints as the empty string.
class CNullLogManager : public lumo::CObject, public virtual ILogManager {
public:
    void setLogLevel(int32_t level) override;
    int32_t getLogLevel() override;
    void logElement(int32_t level, const tinyxml2::XMLElement& element) override;
    void logText(int32_t level, const lumo::String& text) override;
    void logXml(int32_t level, const lumo::String& xmlText) override;
    lumo::String getLogText() override;
    void clearLog() override;
};

} // namespace nebo::common
