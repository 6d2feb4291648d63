// Ctrl-C during a batch, sent as a terminal sends it, to the real nebo_probe while two media hang in their slaves.
#include "platform/CTempFolder.h"
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(CInterruptionTest, CtrlCEndsTheSlavesAndTellsEveryUnfinishedMedium)
{
    const lumo::CTempFolder folder;
    // Once the first medium is reported, the next two hang in their slaves
    // (far within the time limit) and the last waits for a job.
    const std::string probe = (nebo::test::binFolder() / "nebo_probe").string();
    const std::string script =
        "'" + probe +
        "' -j 2 --json --timeout 60 'file:///a.demo?w=8&h=8&frames=1' "
        "'file:///b.demo?fail=hang&failat=open' 'file:///c.demo?fail=hang&failat=open' 'file:///d.demo?w=8&h=8' "
        ">out.txt 2>err.txt & probe=$!; "
        "for i in $(seq 3000); do [ -s out.txt ] && break; sleep 0.01; done; "
        "kill -INT $probe; wait $probe; echo $? >status.txt";
    const nebo::test::SProgramRun run = nebo::test::runProgram(folder.pathOf(""), {"sh", "-c", script});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    EXPECT_EQ(folder.get("status.txt"), "130\n");
    std::vector<std::string> statuses;
    std::istringstream lines(folder.get("out.txt"));
    for (std::string line; std::getline(lines, line);)
        statuses.push_back(nlohmann::json::parse(line)["status"]);
    EXPECT_EQ(statuses, (std::vector<std::string>{"read", "interrupted", "interrupted", "interrupted"}));
    EXPECT_EQ(folder.get("err.txt"), "nebo_probe: interrupted: 3 media not finished\n");
    // The slaves it ended left no error file, nor a folder for one.
    for (const auto& entry : std::filesystem::directory_iterator(folder.pathOf("")))
        EXPECT_NE(entry.path().filename().string().rfind("nebo_", 0), 0u) << entry.path();
}

} // namespace
