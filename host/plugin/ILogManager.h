#pragma once

#include "foundation/IBase.h"
#include "foundation/String.h"

#include <cstdint>

namespace tinyxml2 {
class XMLElement;
}

namespace nebo::common {

// The in-memory XML log that the master fetches with "getLog". Levels run
// from 0 "error" over 1 "warning", 2 "info", 3 "debug" to 4 "trace"; an
// entry is kept only when its level is at most the current level. Any
// thread may log while another fetches or clears the log.
class ILogManager : public virtual lumo::IBase {
public:
    virtual void setLogLevel(int32_t level) = 0;
    virtual int32_t getLogLevel() = 0;
    // Stores a copy of `element`; the caller keeps it.
    virtual void logElement(int32_t level, const tinyxml2::XMLElement& element) = 0;
    virtual void logText(int32_t level, const lumo::String& text) = 0;
    // Stores the XML as an element, or as plain text when it is not
    // well-formed.
    virtual void logXml(int32_t level, const lumo::String& xmlText) = 0;
    // The whole log printed as XML, or the empty string when it holds no
    // entry. Its characters are the text's own (it crosses a pipe as
    // UTF-8), not the bytes of its encoding.
    virtual lumo::String getLogText() = 0;
    virtual void clearLog() = 0;
};

} // namespace nebo::common
