// The example host run as its reader would, on demo clips and on the example plugin's media (via NEBO_PLUGIN_PATH).
#include "platform/CTempFolder.h"
#include "platform/fileNameSuffixes.h"
#include "plugins/demo/CDemoClip.h"
#include "streams/CMemoryManager.h"
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumo::make;
using nebo::test::binFolder;
using nebo::test::runProgram;
using nebo::test::SProgramRun;

struct SPicture {
    double time = 0.0;
    int width = 0, height = 0;
    unsigned centre = 0;
};

// What the example printed, line by line.
struct SReport {
    std::string opening;
    std::vector<SPicture> pictures;
    // With its indented lines.
    std::string failure;
    int restarts = 0;
    int slaves = 0;
};

SReport parse(const std::string& out)
{
    SReport report;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        SPicture picture;
        if (std::sscanf(line.c_str(), "picture at %lf s: %dx%d, centre #%x", &picture.time, &picture.width,
                        &picture.height, &picture.centre) == 4)
            report.pictures.push_back(picture);
        else if (line.rfind("plugin: ", 0) == 0 || line.rfind("no plugin could open", 0) == 0)
            report.opening = line;
        else if (line.rfind("failed: ", 0) == 0 || (!report.failure.empty() && line.rfind("  ", 0) == 0))
            report.failure += line + "\n";
        report.restarts += line.rfind("restart: ", 0) == 0;
        report.slaves += line.rfind("slave: ", 0) == 0;
    }
    return report;
}

// The centre pixel of the demo clip's picture `index`, converted to RGB by the same library the example uses.
unsigned demoCentre(const std::string& query, int64_t index)
{
    const std::optional<nebo::demo::CDemoClip> clip = nebo::demo::CDemoClip::fromQuery(lumo::String::fromUTF8(query));
    const lumo::P<nebo::common::INEBPicture> picture = clip->makePicture(index, make<lumo::CMemoryManager>(30));
    uint8_t pixel[4] = {};
    picture->copyRGB(pixel, 4, clip->width / 2, clip->height / 2, 1, 1);
    return unsigned(pixel[2]) << 16 | unsigned(pixel[1]) << 8 | pixel[0];
}

class HostExampleTest : public ::testing::Test {
protected:
    SProgramRun run(const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment = {"NEBO_PLUGIN_PATH"})
    {
        std::vector<std::string> command = {
            (binFolder() / (std::string("nebo_host_example") + lumo::getProgramSuffix())).string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runProgram(m_folder.pathOf(""), command, environment);
    }

    lumo::CTempFolder m_folder;
};

TEST_F(HostExampleTest, ReadsDemoPicturesAsRGBAndCopesWithACrashingPlugin)
{
    // clang-format off
    const struct {
        const char* name; std::vector<std::string> options; std::string query; int exitCode;
        std::vector<int64_t> pictures; const char* failure; int restarts;
    } cases[] = {
        {"rgb, three of many", {"--pictures", "3"}, "w=32&h=16&fmt=rgb", 0, {0, 1, 2}, "", 0},
        {"crash", {}, "w=64&h=48&frames=5&fail=write16&failat=2", 1, {0, 1}, "Attempted to write at 0x00000010", 0},
        {"crash, resumed", {"--resume"}, "w=64&h=48&frames=5&fail=write16&failat=2", 0, {0, 1, 3, 4}, "", 1},
    };
    // clang-format on
    for (const auto& test : cases) {
        std::vector<std::string> arguments = test.options;
        arguments.push_back("file:///clips/a.demo?" + test.query);
        const SProgramRun result = run(arguments);
        EXPECT_EQ(result.exitCode, test.exitCode) << test.name << "\n" << result.out << result.err;
        const SReport report = parse(result.out);
        EXPECT_EQ(report.opening.rfind("plugin: nebo_demo, ", 0), 0u) << test.name << "\n" << result.out;
        ASSERT_EQ(report.pictures.size(), test.pictures.size()) << test.name << "\n" << result.out;
        for (size_t i = 0; i < test.pictures.size(); ++i) {
            const int64_t index = test.pictures[i];
            EXPECT_NEAR(report.pictures[i].time, index / 25.0, 0.0005) << test.name;
            EXPECT_EQ(report.pictures[i].centre, demoCentre(test.query, index)) << test.name << " picture " << index;
        }
        if (*test.failure)
            EXPECT_NE(report.failure.find(test.failure), std::string::npos) << test.name << "\n" << result.out;
        else
            EXPECT_EQ(report.failure, "") << test.name;
        EXPECT_EQ(report.restarts, test.restarts) << test.name << "\n" << result.out;
        // Every source was served by slaves: one, and one more per restart.
        EXPECT_EQ(report.slaves, 1 + test.restarts) << test.name << "\n" << result.out;
    }
}

TEST_F(HostExampleTest, FindsItsOwnPluginThroughThePluginPath)
{
    m_folder.put("orange.example", "16 8 3 ff8000\n");
    m_folder.put("broken.example", "16 8\n");
    m_folder.put("huge.example", "100000 8 3 ff8000\n");
    const std::vector<std::string> pluginPath = {"NEBO_PLUGIN_PATH=" + (binFolder() / "examples").string()};
    const std::string refused = "  nebo_demo: does not take the extension \"example\"\n";
    // The plugin names the medium by the path the system writes.
    const auto notExample = [&](const char* medium) {
        return refused + "  nebo_example: Error - not an example medium: " +
               std::filesystem::path(m_folder.pathOf(medium)).make_preferred().string() + "\n";
    };
    // clang-format off
    const struct {
        const char* medium; int exitCode; std::string opening; size_t pictures; std::string reasons;
    } cases[] = {
        {"orange.example", 0, "plugin: nebo_example, 16x8, 0.300 s", 3, ""},
        {"broken.example", 1, "no plugin could open broken.example", 0, notExample("broken.example")},
        {"huge.example", 1, "no plugin could open huge.example", 0, notExample("huge.example")},
    };
    // clang-format on
    for (const auto& test : cases) {
        const SProgramRun result = run({test.medium}, pluginPath);
        EXPECT_EQ(result.exitCode, test.exitCode) << test.medium << "\n" << result.out << result.err;
        const SReport report = parse(result.out);
        EXPECT_EQ(report.opening, test.opening) << result.out;
        ASSERT_EQ(report.pictures.size(), test.pictures) << result.out;
        for (size_t i = 0; i < test.pictures; ++i) {
            EXPECT_NEAR(report.pictures[i].time, i / 10.0, 0.0005);
            EXPECT_EQ(report.pictures[i].centre, 0xff8000u);
        }
        if (!test.reasons.empty()) {
            EXPECT_EQ(result.out, test.opening + "\n" + test.reasons);
        }
    }
}

} // namespace
