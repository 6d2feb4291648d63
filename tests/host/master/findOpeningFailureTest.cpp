#include "host/master/findOpeningFailure.h"

#include <gtest/gtest.h>

namespace {

using nebo::common::findOpeningFailure;

TEST(findOpeningFailureTest, TakesTheLastFailureOrEntryOfTheLogWithItsEscapesUndone)
{
    const struct {
        std::string log, reason;
    } cases[] = {
        {"<slavelog>\n\t<logentry level=\"2\" time=\"t\">\n\t\t<textlog>tried to open file:///a.mp4 with plugin "
         "nebo_avlib.\nOpening failed: Error - The file &apos;/a.mp4&apos; was not found.</textlog>\n"
         "\t</logentry>\n</slavelog>\n",
         "Error - The file '/a.mp4' was not found."},
        {"<textlog>Opening failed: first</textlog><textlog>Opening failed: a &lt;b&gt; &amp; &quot;c&quot;</textlog>",
         "a <b> & \"c\""},
        {"<slavelog/>", ""},
        {"<textlog>first</textlog><textlog>nebo_demo: the query does not describe a clip</textlog>",
         "nebo_demo: the query does not describe a clip"},
        // A reason without its closing tag still ends somewhere.
        {"Opening failed: " + std::string(400, 'z'), std::string(300, 'z') + "..."},
    };
    for (const auto& test : cases)
        EXPECT_EQ(findOpeningFailure(lumo::String::fromUTF8(test.log)).toUTF8(), test.reason) << test.log;
}

} // namespace
