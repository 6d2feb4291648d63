#include "crashhandler/posix/readMappings.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace crashhandler {
namespace {

// Start, end, readable, executable and path of each mapping seen.
using TSeen = std::tuple<uint64_t, uint64_t, bool, bool, std::string>;

class CRecordingVisitor : public IMappingVisitor {
public:
    void visit(const SMapping& m) noexcept override
    {
        seen.emplace_back(m.start, m.end, m.readable, m.executable, std::string(m.path, m.pathLength));
    }
    std::vector<TSeen> seen;
};

std::vector<TSeen> mappingsOf(const std::string& text)
{
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    // Written from another thread: the text may not fit into the pipe at once.
    std::thread writer([&] {
        EXPECT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(ends[1]);
    });
    CRecordingVisitor visitor;
    readMappings(ends[0], visitor);
    writer.join();
    close(ends[0]);
    return visitor.seen;
}

TEST(readMappingsTest, LinesOfTheKernelsFormat)
{
    const std::string text =
        "55d0c0a00000-55d0c0a02000 r--p 00000000 08:01 1048602                    /usr/bin/nebo_slave\n"
        "55d0c0a02000-55d0c0a05000 r-xp 00002000 08:01 1048602                    /usr/bin/nebo_slave\n"
        "7f3a1c000000-7f3a1c021000 rw-p 00000000 00:00 0 \n"
        "7f3a1d000000-7f3a1d001000 ---p 00000000 00:00 0\n"
        "7f3a1e000000-7f3a1e010000 r-xp 00000000 fe:01 77 /tmp/with blank/lib x.so (deleted)\n"
        "ffffffffff600000-ffffffffff601000 --xp 00000000 00:00 0                  [vsyscall]";
    const std::vector<TSeen> expected = {
        {0x55d0c0a00000, 0x55d0c0a02000, true, false, "/usr/bin/nebo_slave"},
        {0x55d0c0a02000, 0x55d0c0a05000, true, true, "/usr/bin/nebo_slave"},
        {0x7f3a1c000000, 0x7f3a1c021000, true, false, ""},
        {0x7f3a1d000000, 0x7f3a1d001000, false, false, ""},
        {0x7f3a1e000000, 0x7f3a1e010000, true, true, "/tmp/with blank/lib x.so (deleted)"},
        {0xffffffffff600000, 0xffffffffff601000, false, true, "[vsyscall]"},
    };
    EXPECT_EQ(mappingsOf(text), expected);
}

TEST(readMappingsTest, LongListsAndLongPathsSurviveTheBuffers)
{
    // Lines that do not parse are passed over.
    std::string text = "garbage\n1000 2000 r-xp 0 0:0 0\n1000-2000 r-xp 0 08:01\n\n";
    for (int i = 0; i < 2000; ++i)
        text += "1000-2000 r-xp 00000000 08:01 5 /lib/number" + std::to_string(i) + ".so\n";
    const std::string longPath = "/" + std::string(6000, 'p');
    text += "3000-4000 r--p 00000000 08:01 5 " + longPath + "\n5000-6000 r--p 0 0:0 0 /last";
    const std::vector<TSeen> seen = mappingsOf(text);
    ASSERT_EQ(seen.size(), 2002u);
    EXPECT_EQ(std::get<4>(seen[1999]), "/lib/number1999.so");
    EXPECT_EQ(std::get<0>(seen[2000]), 0x3000u);
    const std::string& cutPath = std::get<4>(seen[2000]);
    EXPECT_EQ(cutPath, longPath.substr(0, cutPath.size()));
    EXPECT_GT(cutPath.size(), 4000u);
    EXPECT_EQ(std::get<4>(seen[2001]), "/last");
}

} // namespace
} // namespace crashhandler
