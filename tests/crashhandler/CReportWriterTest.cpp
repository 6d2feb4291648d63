#include "crashhandler/CReportWriter.h"

#include "crashhandler/CReportSinkString.h"

#include <gtest/gtest.h>

#include <string>

namespace crashhandler {
namespace {

TEST(CReportWriterTest, LongTextIsHandedOverInPiecesWithoutLoss)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + "\n";
    test::CReportSinkString sink;
    CReportWriter out(sink);
    out.text(text.c_str());
    out.flush();
    out.flush();
    EXPECT_EQ(sink.m_text, text);
    EXPECT_EQ(sink.m_writes, static_cast<int>((text.size() + 1023) / 1024));
}

} // namespace
} // namespace crashhandler
