#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "host/plugin/ILogManager.h"

#include <atomic>
#include <deque>
#include <string>
#include <tinyxml2.h>

namespace nebo::common {

// The log as an XML tree in memory: a root element named after the log
// holding one "logentry" per kept entry, oldest first. At most maxKeptBytes
// of entries (as printed) are kept, dropping the oldest, so that a master's
// log stays bounded however much its slaves log; the newest stays whatever
// its size. Control characters and bytes that are no UTF-8 are written out
// ("\x1B", "\xFC"), keeping the XML well-formed and valid UTF-8.
// Thread-safe.
class CLogManager : public lumo::CObject, public virtual ILogManager {
public:
    static constexpr size_t maxKeptBytes = size_t{32} << 20;

    // The date and time text of a new entry, in the process code page.
    using TimeText = std::string (*)();

    // A log at level 2 whose root element is `name`; `timeText` (null: the
    // local clock) stamps the entries. Throws CInvalidArgError when `name` is
    // not an XML element name.
    explicit CLogManager(const lumo::String& name, TimeText timeText = &getLocalTimeText);

    void setLogLevel(int32_t level) override;
    int32_t getLogLevel() override;
    void logElement(int32_t level, const tinyxml2::XMLElement& element) override;
    void logText(int32_t level, const lumo::String& text) override;
    void logXml(int32_t level, const lumo::String& xmlText) override;
    // The printed XML, decoded from UTF-8.
    lumo::String getLogText() override;
    void clearLog() override;

    // The local date in the current locale's short form ("%x"), a blank
    // and the time as hours and minutes on the 24-hour clock; only the date
    // when there is no time text, empty when there is no date text.
    static std::string getLocalTimeText();

private:
    bool isKept(int32_t level) const { return level <= m_level.load(std::memory_order_relaxed); }
    // Appends an entry holding a copy of `copy`'s root element, `size`
    // bytes when printed, and drops the oldest beyond maxKeptBytes.
    void appendEntry(int32_t level, const tinyxml2::XMLDocument& copy, size_t size);

    std::atomic<int32_t> m_level{2};
    const TimeText m_timeText;
    lumo::P<lumo::IMutex> m_mutex;
    tinyxml2::XMLDocument m_document;
    tinyxml2::XMLElement* m_root;
    // The printed size of each entry, oldest first, and their sum.
    std::deque<size_t> m_entrySizes;
    size_t m_keptSize = 0;
};

} // namespace nebo::common
