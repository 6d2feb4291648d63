#include "host/common/CLogManager.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/escapeControlCharacters.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "platform/toLocalTime.h"

#include <ctime>
#include <string_view>

namespace nebo::common {

namespace {

// Indents with one tab per level; the printer's line break is "\n" already.
class TabPrinter : public tinyxml2::XMLPrinter {
public:
    // The printed text so far, without its terminating zero.
    std::string_view getText() const { return {CStr(), static_cast<std::size_t>(CStrSize() - 1)}; }

protected:
    void PrintSpace(int depth) override
    {
        for (int i = 0; i < depth; ++i)
            Putc('\t');
    }
};

// The document holding the text as XML; its root element is null when the
// text is not well-formed or holds no element.
void parse(tinyxml2::XMLDocument& document, std::string_view text)
{
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        document.Clear();
}

const char* getLevelName(int32_t level)
{
    static const char* const names[] = {"error", "warning", "info", "debug", "trace"};
    return level >= 0 && level < 5 ? names[level] : "unknown";
}

std::string formatLocalTime(const std::tm& time, const char* format)
{
    char text[128];
    return std::string(text, std::strftime(text, sizeof text, format, &time));
}

} // namespace

CLogManager::CLogManager(const lumo::String& name, TimeText timeText)
    : m_timeText(timeText ? timeText : &getLocalTimeText), m_mutex(lumo::getMutexFactory()->createMutex())
{
    const std::string utf8Name = name.toUTF8();
    tinyxml2::XMLDocument probe;
    parse(probe, "<" + utf8Name + "/>");
    if (!probe.RootElement() || utf8Name != probe.RootElement()->Name())
        throw lumo::CInvalidArgError("the log name must be an XML element name", "CLogManager");
    m_root = m_document.NewElement(utf8Name.c_str());
    m_document.InsertEndChild(m_root);
}

void CLogManager::setLogLevel(int32_t level) { m_level.store(level, std::memory_order_relaxed); }

int32_t CLogManager::getLogLevel() { return m_level.load(std::memory_order_relaxed); }

void CLogManager::logElement(int32_t level, const tinyxml2::XMLElement& element)
{
    if (!isKept(level))
        return;
    // The copy goes through the printed text so that the log holds exactly
    // what a reader of the log will parse.
    TabPrinter printer;
    element.Accept(&printer);
    tinyxml2::XMLDocument copy;
    parse(copy, printer.getText());
    if (copy.RootElement())
        appendEntry(level, copy, printer.getText().size());
    else
        // An element built with a name that no parser accepts: keep what it
        // says rather than lose the entry.
        logText(level, lumo::String::fromUTF8(printer.getText()));
}

void CLogManager::logText(int32_t level, const lumo::String& text)
{
    if (!isKept(level))
        return;
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* textLog = document.NewElement("textlog");
    textLog->InsertEndChild(document.NewText(lumo::escapeControlCharacters(text.toUTF8()).c_str()));
    document.InsertEndChild(textLog);
    logElement(level, *textLog);
}

void CLogManager::logXml(int32_t level, const lumo::String& xmlText)
{
    if (!isKept(level))
        return;
    tinyxml2::XMLDocument document;
    // No control character belongs in XML text; one from a slave is shown
    // as what it is.
    parse(document, lumo::escapeControlCharacters(xmlText.toUTF8()));
    if (document.RootElement())
        logElement(level, *document.RootElement());
    else
        logText(level, xmlText);
}

void CLogManager::appendEntry(int32_t level, const tinyxml2::XMLDocument& copy, size_t size)
{
    const std::string time = m_timeText();
    lumo::CScopedLock lock(m_mutex);
    tinyxml2::XMLElement* entry = m_document.NewElement("logentry");
    entry->SetAttribute("level", getLevelName(level));
    entry->SetAttribute("time", time.c_str());
    entry->InsertEndChild(copy.RootElement()->DeepClone(&m_document));
    m_root->InsertEndChild(entry);
    m_entrySizes.push_back(size);
    m_keptSize += size;
    while (m_keptSize > maxKeptBytes && m_entrySizes.size() > 1) {
        m_root->DeleteChild(m_root->FirstChildElement());
        m_keptSize -= m_entrySizes.front();
        m_entrySizes.pop_front();
    }
}

lumo::String CLogManager::getLogText()
{
    lumo::CScopedLock lock(m_mutex);
    if (m_root->NoChildren())
        return lumo::String();
    TabPrinter printer;
    m_root->Accept(&printer);
    return lumo::String::fromUTF8(printer.getText());
}

void CLogManager::clearLog()
{
    lumo::CScopedLock lock(m_mutex);
    m_root->DeleteChildren();
    m_entrySizes.clear();
    m_keptSize = 0;
}

std::string CLogManager::getLocalTimeText()
{
    // The locale's time formats place the seconds too differently to cut
    // them out reliably; hours and minutes read unambiguously everywhere.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!lumo::toLocalTime(now, local))
        return {};
    const std::string date = formatLocalTime(local, "%x");
    const std::string time = formatLocalTime(local, "%H:%M");
    if (date.empty() || time.empty())
        return date;
    return date + ' ' + time;
}

} // namespace nebo::common
