#include "host/common/CLogManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nebo::common {
namespace {

using Entries = std::vector<std::string>;

std::string fixedTime() { return "01/02/03 04:05"; }

struct CLogManagerTest : testing::Test {
    lumo::P<CLogManager> log = lumo::make<CLogManager>(lumo::String("slavelog"), &fixedTime);
    tinyxml2::XMLDocument document;

    // Each entry as "level:content", the content being the text of a "textlog" or else the name of the logged element.
    Entries entries()
    {
        Entries found;
        const std::string text = log->getLogText().toUTF8();
        if (text.empty())
            return found;
        tinyxml2::XMLDocument printed;
        EXPECT_EQ(printed.Parse(text.c_str()), tinyxml2::XML_SUCCESS) << text;
        for (auto* entry = printed.RootElement()->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
            const tinyxml2::XMLElement* content = entry->FirstChildElement();
            const char* shown = std::string(content->Name()) == "textlog" ? content->GetText() : content->Name();
            found.push_back(std::string(entry->Attribute("level")) + ':' + (shown ? shown : ""));
        }
        return found;
    }
};

TEST_F(CLogManagerTest, PrintsEntriesIndentedWithTabs)
{
    log->logText(2, lumo::String::fromUTF8("caf\xC3\xA9 <&>"));
    log->logXml(0, lumo::String("<a x=\"1\"><b>some &amp; text</b>\n   <c/></a>"));

    EXPECT_EQ(log->getLogText().toUTF8(), "<slavelog>\n"
                                          "\t<logentry level=\"info\" time=\"01/02/03 04:05\">\n"
                                          "\t\t<textlog>caf\xC3\xA9 &lt;&amp;&gt;</textlog>\n"
                                          "\t</logentry>\n"
                                          "\t<logentry level=\"error\" time=\"01/02/03 04:05\">\n"
                                          "\t\t<a x=\"1\">\n"
                                          "\t\t\t<b>some &amp; text</b>\n"
                                          "\t\t\t<c/>\n"
                                          "\t\t</a>\n"
                                          "\t</logentry>\n"
                                          "</slavelog>\n");
}

TEST_F(CLogManagerTest, KeepsOnlyEntriesUpToTheCurrentLevel)
{
    tinyxml2::XMLElement* element = document.NewElement("detail");
    log->logText(3, lumo::String("too detailed"));
    log->logXml(3, lumo::String("<ignored/>"));
    log->logElement(3, *element);
    log->logText(2, lumo::String("info"));
    log->logText(0, lumo::String("error"));
    log->logElement(-1, *element);
    log->setLogLevel(9);
    log->logXml(4, lumo::String("<traced/>"));
    log->logElement(7, *element);
    log->logText(10, lumo::String("beyond"));

    EXPECT_EQ(entries(), (Entries{"info:info", "error:error", "unknown:detail", "trace:traced", "unknown:detail"}));
}

TEST_F(CLogManagerTest, KeepsWhatIsNoXmlAsPlainText)
{
    for (const char* text : {"<a><b></a>", "just words", "", "<unclosed"})
        log->logXml(2, lumo::String::fromUTF8(text));
    // An element whose name no parser accepts cannot be copied as XML.
    log->logElement(1, *document.NewElement("two words"));

    EXPECT_EQ(entries(),
              (Entries{"info:<a><b></a>", "info:just words", "info:", "info:<unclosed", "warning:<two words/>\n"}));
}

TEST_F(CLogManagerTest, ControlCharactersAreWrittenOutSoTheLogStaysWellFormed)
{
    log->logText(0, lumo::String::fromUTF8("\x1b]0;owned\x07 text\x01"));
    log->logXml(1, lumo::String::fromUTF8("<slavelog><textlog>\x1b[2J</textlog></slavelog>"));
    EXPECT_EQ(entries(), (Entries{"error:\\x1B]0;owned\\x07 text\\x01", "warning:slavelog"}));
    EXPECT_NE(log->getLogText().toUTF8().find("<textlog>\\x1B[2J</textlog>"), std::string::npos);
}

TEST_F(CLogManagerTest, KeepsTheNewestEntriesUpToItsBound)
{
    // Each entry prints as a little more than a quarter of the bound.
    const std::string quarter(CLogManager::maxKeptBytes / 4, 'x');
    for (const char* mark : {"a", "b", "c", "d", "e"})
        log->logText(2, lumo::String::fromUTF8(mark + quarter));
    const Entries kept = entries();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept.front().substr(0, 6), "info:c");
    EXPECT_EQ(kept.back().substr(0, 6), "info:e");

    // The newest entry stays whatever its size.
    log->logText(2, lumo::String::fromUTF8("f" + quarter + quarter + quarter + quarter));
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_EQ(entries().front().substr(0, 6), "info:f");
}

TEST_F(CLogManagerTest, AClearedLogPrintsAsTheEmptyStringAndKeepsItsRoot)
{
    log->logText(2, lumo::String("first"));
    log->clearLog();
    EXPECT_TRUE(log->getLogText().isEmpty());

    log->logText(2, lumo::String("second"));
    EXPECT_EQ(log->getLogText().toUTF8().rfind("<slavelog>\n", 0), 0u);
    EXPECT_EQ(entries(), Entries{"info:second"});
}

} // namespace
} // namespace nebo::common
