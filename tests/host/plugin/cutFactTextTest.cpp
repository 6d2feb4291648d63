#include "host/plugin/cutFactText.h"

#include "host/plugin/CMediumFacts.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(cutFactTextTest, TextsFitTheBoundWithoutASplitCharacter)
{
    std::string accents;
    for (int i = 0; i < 3000; ++i)
        accents += "\xc3\xa9";
    const struct {
        const char* name;
        std::string text;
        size_t bytes;
    } cases[] = {
        {"short", "h264", 4},
        {"at the bound", std::string(4096, 'x'), 4096},
        {"ASCII beyond", std::string(5000, 'x'), 4096},
        {"two-byte characters", "x" + accents, 4095},
        {"Latin-1", "caf\xe9", 5},
        // Each such byte grows to two.
        {"long Latin-1", std::string(3000, '\xe9'), 4096},
    };
    for (const auto& c : cases) {
        const std::string cut = cutFactText(c.text).toUTF8();
        EXPECT_EQ(cut.size(), c.bytes) << c.name;
        EXPECT_EQ(lumo::String::fromUTF8(cut).toUTF8(), cut) << c.name;
    }
}

} // namespace
} // namespace nebo::common
