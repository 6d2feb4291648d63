// The installed tree as others use it, installed into a temporary prefix once for all the tests: the examples (a host
// and a plugin) built against it with find_package(nebo), the host again with pkg-config, all run from there.
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using nebo::test::runProgram;
using nebo::test::SProgramRun;

const std::string libraries = NEBO_INSTALL_LIBDIR;
const std::string demoClip = "file:///clips/a.demo?w=64&h=48&frames=3";
const std::vector<std::string> withoutPluginPath = {"NEBO_PLUGIN_PATH"};

// `text` as one word of the shell.
std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

class InstalledTreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/nebo-installed-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        s_folder = pattern;
        const std::string cmake = shellQuoted(NEBO_CMAKE);
        // Sanitizer builds need the same runtime in the host.
        const std::string flags = NEBO_CXX_FLAGS;
        const std::string pkgConfig =
            "PKG_CONFIG_PATH=" + shellQuoted(prefix() + "/" + libraries + "/pkgconfig") + " pkg-config";
        const std::vector<std::string> steps = {
            cmake + " --install " + shellQuoted(NEBO_BUILD_DIR) + " --prefix " + shellQuoted(prefix()),
            cmake + " -S " + shellQuoted(NEBO_SOURCE_DIR "/examples") + " -B cmake-build -G Ninja" +
                " -DCMAKE_BUILD_TYPE=Debug -DCMAKE_PREFIX_PATH=" + shellQuoted(prefix()) +
                " -DCMAKE_CXX_COMPILER=" + shellQuoted(NEBO_CXX) + " -DCMAKE_CXX_FLAGS=" + shellQuoted(flags),
            cmake + " --build cmake-build",
            "mkdir -p pkg-config && " + shellQuoted(NEBO_CXX) + " -std=c++17 " + flags + " " +
                shellQuoted(NEBO_SOURCE_DIR "/examples/hostExample.cpp") + " -o pkg-config/nebo_host_example $(" +
                pkgConfig + " --cflags --libs nebo) -Wl,-rpath,$(" + pkgConfig + " --variable=libdir nebo)",
        };
        for (const std::string& step : steps) {
            const SProgramRun run = runProgram(s_folder, {"sh", "-c", step}, {}, 300);
            if (run.exitCode != 0) {
                s_failedStep = step + "\n" + run.out + run.err;
                return;
            }
        }
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(s_folder); }

    void SetUp() override { ASSERT_EQ(s_failedStep, "") << "installing and building failed"; }

    static std::string prefix() { return s_folder + "/prefix"; }
    static std::string pathOf(const std::string& name) { return s_folder + "/" + name; }

    static SProgramRun run(const std::vector<std::string>& command, const std::vector<std::string>& environment)
    {
        return runProgram(s_folder, command, environment);
    }

    static std::string runPathOf(const std::string& file)
    {
        const SProgramRun dump = run({"readelf", "-d", file}, {});
        const std::string mark = "Library runpath: [";
        const size_t start = dump.out.find(mark);
        if (start == std::string::npos)
            return "none";
        return dump.out.substr(start + mark.size(), dump.out.find(']', start) - start - mark.size());
    }

    static inline std::string s_folder;
    static inline std::string s_failedStep;
};

TEST_F(InstalledTreeTest, HoldsEverythingAndEachProgramFindsTheLibrariesFromWhereItLies)
{
    // The headers, the CMake package and the pkg-config file are in place as the examples' builds, which use them,
    // succeeded.
    const std::pair<std::string, const char*> files[] = {
        {"bin/nebo_probe", "$ORIGIN/../" NEBO_INSTALL_LIBDIR},
        {libraries + "/liblumo.so", "$ORIGIN"},
        {libraries + "/libnebo.so", "$ORIGIN"},
        {libraries + "/nebo/nebo_slave", "$ORIGIN/.."},
        {libraries + "/nebo/plugins/nebo_demo.so", "$ORIGIN/../.."},
        {libraries + "/nebo/plugins/nebo_avlib.so", "$ORIGIN/../.."},
        {libraries + "/nebo/plugins/nebo_sound.so", "$ORIGIN/../.."},
    };
    for (const auto& [file, runPath] : files)
        EXPECT_EQ(runPathOf(prefix() + "/" + file), runPath) << file;
    // The platform's own headers stay inside the libraries.
    EXPECT_FALSE(std::filesystem::exists(prefix() + "/include/nebo/platform/posix"));
}

// The build tree's copies were linked with room for the installed run paths; they keep $ORIGIN alone, without an
// empty entry, which the loader would read as the current folder.
TEST_F(InstalledTreeTest, TheBuildTreesCopiesLookForLibrariesOnlyBesideThemselves)
{
    for (const char* file :
         {"nebo_probe", "liblumo.so", "libnebo.so", "nebo_slave", "nebo_demo.so", "nebo_avlib.so", "nebo_sound.so"})
        EXPECT_EQ(runPathOf((nebo::test::binFolder() / file).string()), "$ORIGIN") << file;
}

// Regular files below `folder`, by their paths relative to it.
std::set<std::string> filesBelow(const std::string& folder)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), folder).string());
    return files;
}

TEST_F(InstalledTreeTest, TheDebianPackageHoldsTheInstalledTreeUnderUsr)
{
    const SProgramRun packed =
        run({NEBO_CPACK, "--config", NEBO_BUILD_DIR "/CPackConfig.cmake", "-B", pathOf("package")}, {});
    ASSERT_EQ(packed.exitCode, 0) << packed.out << packed.err;
    std::string package;
    for (const auto& entry : std::filesystem::directory_iterator(pathOf("package")))
        if (entry.path().extension() == ".deb")
            package = entry.path();
    ASSERT_NE(package, "") << packed.out;
    const SProgramRun unpacked = run({"dpkg-deb", "-x", package, pathOf("unpacked")}, {});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_EQ(filesBelow(pathOf("unpacked/usr")), filesBelow(prefix()));
    // The libraries the decoding plugins link come from Debian's packages.
    const SProgramRun depends = run({"dpkg-deb", "-f", package, "Depends"}, {});
    for (const char* dependency : {"libavcodec", "libsndfile1", "libtinyxml2"})
        EXPECT_NE(depends.out.find(dependency), std::string::npos) << depends.out;
}

TEST_F(InstalledTreeTest, TheProbeFindsItsSlaveAndPluginsWhereverTheTreeLies)
{
    ASSERT_EQ(run({"cp", "-a", prefix(), pathOf("moved")}, {}).exitCode, 0);
    // With the first tree out of the way, the copy can only use its own.
    ASSERT_EQ(std::rename(prefix().c_str(), pathOf("away").c_str()), 0);
    const SProgramRun moved = run({pathOf("moved/bin/nebo_probe"), demoClip}, withoutPluginPath);
    ASSERT_EQ(std::rename(pathOf("away").c_str(), prefix().c_str()), 0);
    std::filesystem::remove_all(pathOf("moved"));
    EXPECT_EQ(moved.exitCode, 0) << moved.out << moved.err;
    EXPECT_NE(moved.out.find("\nPlugin: nebo_demo\n"), std::string::npos) << moved.out;
    EXPECT_NE(moved.out.find("\nPictures decoded: 3\n"), std::string::npos) << moved.out;
    EXPECT_NE(moved.out.find("\nSlave: "), std::string::npos) << moved.out;
}

TEST_F(InstalledTreeTest, HostsOfBothBuildsOpenMediaThroughTheirPluginsInASlave)
{
    ASSERT_EQ(run({"sh", "-c", "echo 16 8 3 ff8000 >orange.example"}, {}).exitCode, 0);
    const struct {
        const char *host, *medium, *opening, *picture;
    } cases[] = {
        // The plugin lies beside this host.
        {"cmake-build/nebo_host_example", "orange.example", "plugin: nebo_example, 16x8",
         "\npicture at 0.200 s: 16x8, centre #ff8000\n"},
        // A shipped plugin, from the installed plugin folder.
        {"pkg-config/nebo_host_example", demoClip.c_str(), "plugin: nebo_demo, 64x48",
         "\npicture at 0.080 s: 64x48, centre #"},
    };
    for (const auto& test : cases) {
        const SProgramRun result = run({pathOf(test.host), test.medium}, withoutPluginPath);
        EXPECT_EQ(result.exitCode, 0) << test.host << "\n" << result.out << result.err;
        EXPECT_EQ(result.out.rfind(test.opening, 0), 0u) << test.host << "\n" << result.out;
        EXPECT_NE(result.out.find(test.picture), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("\nslave: "), std::string::npos) << result.out;
    }
}

} // namespace
