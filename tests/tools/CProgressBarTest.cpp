#include "tools/probe/CProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nebo::probe {
namespace {

TEST(CProgressBarTest, RedrawsInPlaceOnlyWhenTheLineChanges)
{
    std::ostringstream known;
    CProgressBar bar(known, 8, "pictures");
    bar.update(2);
    bar.update(2);
    bar.update(9); // more than announced: the bar stays full
    bar.finish();
    EXPECT_EQ(known.str(), "\r[" + std::string(10, '#') + std::string(30, '.') + "] 25% 2/8 pictures" + "\r[" +
                               std::string(40, '#') + "] 100% 9/8 pictures\n");

    std::ostringstream unknown;
    CProgressBar counter(unknown, 0, "chunks");
    counter.update(100);
    counter.update(7);
    EXPECT_EQ(unknown.str(), "\r100 chunks\r7 chunks  ");
}

} // namespace
} // namespace nebo::probe
