// Runs the real nebo_probe program, which runs the demo plugin in slaves.
#include "boxed/CBoxedFixture.h"
#include "host/common/CPluginFolders.h"
#include "platform/CTempFolder.h"
#include "readPNG.h"
#include "support/binFolder.h"
#include "support/decodeReference.h"
#include "support/runProgram.h"
#include "support/writeTestClip.h"
#include "tools/probe/CWAVWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

namespace nebo::probe {
namespace {

using nebo::test::binFolder;
using test::expectPNG;
// Ordered, so that comparing documents also compares the order of their members.
using json = nlohmann::ordered_json;

using SRun = nebo::test::SProgramRun;

// The JSON documents of an output, one a line.
std::vector<json> documentsOf(const std::string& out)
{
    std::vector<json> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        found.push_back(json::parse(line));
    return found;
}

// The "Key: value" lines of a report; the first of each key counts.
std::map<std::string, std::string> factsOf(const std::string& out)
{
    std::map<std::string, std::string> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line) && line != "Log:";) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos)
            found.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return found;
}

// Whether `text` holds each of `parts`, one after the other; if not, which part is missing, and the text.
::testing::AssertionResult holdsInOrder(const std::string& text, const std::vector<std::string>& parts)
{
    size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(part, at);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << part << "\" in its place in:\n" << text;
        at += part.size();
    }
    return ::testing::AssertionSuccess();
}

// Expects each of `expected` among the facts of the report `out`; "(none)" for a fact it must not have.
void expectFacts(const std::string& out, const std::map<std::string, std::string>& expected)
{
    const std::map<std::string, std::string> facts = factsOf(out);
    for (const auto& [key, value] : expected) {
        const auto found = facts.find(key);
        EXPECT_EQ(found == facts.end() ? "(none)" : found->second, value) << key;
    }
}

// Expects a WAV file of that format whose sound is `samples`.
void expectWAV(const std::string& path, const SWAVFormat& format, const std::vector<int16_t>& samples)
{
    const std::string wav = nebo::test::readWholeFile(path);
    const std::vector<uint8_t> header = makeWAVHeader(format, 2 * samples.size());
    ASSERT_EQ(wav.size(), header.size() + 2 * samples.size());
    EXPECT_EQ(wav.substr(0, header.size()), std::string(header.begin(), header.end()));
    EXPECT_EQ(std::memcmp(wav.data() + header.size(), samples.data(), 2 * samples.size()), 0);
}

// Ten pictures of 64x48 in a format that the mp4 container takes.
const testing::SVideoSettings mpeg4Video{"mpeg4"};

class ProbeProgramTest : public ::testing::Test {
protected:
    // Runs nebo_probe in the test's temporary folder (tests side by side never see each other's error files),
    // expecting it to end with `exitCode`.
    SRun run(const std::vector<std::string>& arguments, int exitCode = 0,
             const std::vector<std::string>& environment = {})
    {
        return runProgram(binFolder() / "nebo_probe", arguments, environment, exitCode);
    }

    SRun runProgram(const std::string& program, std::vector<std::string> arguments,
                    const std::vector<std::string>& environment = {}, int exitCode = 0)
    {
        arguments.insert(arguments.begin(), program);
        const SRun result = nebo::test::runProgram(m_folder.pathOf(""), arguments, environment);
        EXPECT_EQ(result.exitCode, exitCode) << result.err.substr(0, 2000);
        return result;
    }

    lumo::CTempFolder m_folder;
};

// What differs from run to run, times and the slaves' costs, made null where it stands.
json withoutTimes(json document)
{
    document["seconds"] = nullptr;
    document["decoded"]["pictures_per_second"] = nullptr;
    for (json& slave : document["slaves"]) {
        slave["peak_bytes"] = nullptr;
        slave["cpu_ms"] = nullptr;
    }
    return document;
}

// The demo's RGB picture n: blue (x + n), green (y + n), red (x + y).
uint32_t demoPixel(uint32_t x, uint32_t y, uint32_t n)
{
    return ((x + y) & 255) << 16 | ((y + n) & 255) << 8 | ((x + n) & 255);
}

TEST_F(ProbeProgramTest, ReportsADemoClipInTextAndJSONAndWritesItsThumbnailAndSound)
{
    const std::string clip = "file:///x.demo?w=64&h=48&fmt=rgb&frames=10&rate=8000&channels=3";
    const SRun result = run({clip, "--frames", "10", "--thumbnail", "0.2", "out.png", "--audio", "out.wav"});
    // 10 pictures at 25 per second last 0.4 s: 3200 sound frames of 3 channels.
    const size_t soundSize = 3200 * 3 * 2;
    // clang-format off
    expectFacts(result.out, {{"URI", clip}, {"Plugin", "nebo_demo"}, {"Duration", "0.400 s"}, {"Picture size", "64x48"},
                             {"Layout", "RGB"}, {"Frame rate", "25/1 (25.000 fps)"}, {"Pictures decoded", "10"},
                             {"Audio format", "8000 Hz, 3 channels, 16 bits"},
                             {"Thumbnail", "out.png (picture at 0.200 s, 64x48)"},
                             {"Audio file", "out.wav (" + std::to_string(soundSize) + " bytes of sound)"}});
    // clang-format on
    EXPECT_GT(std::stod(factsOf(result.out)["Pictures per second"]), 0.0);

    // 0.2 s is the stamp of picture 5.
    expectPNG(m_folder.pathOf("out.png"), 64, 48, [](uint32_t x, uint32_t y) { return demoPixel(x, y, 5); });

    // The demo's sample of frame g, channel c: g * 64 + c * 4096.
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < 3200 * 3; ++i)
        samples.push_back(int16_t((i / 3 * 64 + i % 3 * 4096) % 65536));
    expectWAV(m_folder.pathOf("out.wav"), {8000, 3, 16}, samples);

    // The files of the first run are replaced only when asked.
    const SRun asJSON =
        run({"--json", clip, "--frames", "10", "--thumbnail", "0.2", "out.png", "--audio", "out.wav", "--force"});
    json document = json::parse(asJSON.out);
    EXPECT_GT(document["decoded"]["pictures_per_second"].get<double>(), 0.0);
    EXPECT_GT(document["slaves"][0]["peak_bytes"].get<int64_t>(), 0);
    EXPECT_GT(document["seconds"].get<double>(), 0.0);
    // The members in the order of docs/probe-json.md's list, laid out as they nest.
    // clang-format off
    EXPECT_EQ(withoutTimes(document),
              json({{"schema", 2}, {"input", clip}, {"status", "read"},
                    {"format", {{"uri", clip}, {"plugin", "nebo_demo"}, {"duration", 0.4}, {"container", "demo"},
                                {"container_description", "synthetic clip"}, {"bit_rate", nullptr},
                                {"tags", json::object()}, {"chapters", json::array()}}},
                    {"streams",
                     json::array({{{"kind", "video"}, {"width", 64}, {"height", 48},
                                   {"frame_rate", {{"numerator", 25}, {"denominator", 1}}}, {"frames_per_second", 25.0},
                                   {"layout", "RGB"}, {"index", 0}, {"codec", "rawvideo"}, {"profile", nullptr},
                                   {"pixel_format", "rgb32"}, {"bit_depth", 8}, {"chroma_subsampling", nullptr},
                                   {"colour_range", nullptr}, {"colour_primaries", nullptr},
                                   {"colour_transfer", nullptr}, {"colour_matrix", nullptr},
                                   {"sample_aspect", {{"numerator", 1}, {"denominator", 1}}},
                                   {"display_aspect", {{"numerator", 4}, {"denominator", 3}}}, {"rotation", 0},
                                   {"bit_rate", nullptr}},
                                  {{"kind", "audio"}, {"sample_rate", 8000}, {"channels", 3}, {"bytes_per_sample", 2},
                                   {"floating_point", false},
                                   {"tracks", json::array({{{"index", 0}, {"codec", "pcm_s16le"}, {"profile", nullptr},
                                                            {"language", nullptr}, {"channels", nullptr},
                                                            {"channel_layout", "3 channels"}, {"sample_rate", nullptr},
                                                            {"sample_format", "s16"}, {"bits_per_sample", 16},
                                                            {"bit_rate", 384000}}})}}})},
                    {"decoded", {{"pictures", 10}, {"pictures_per_second", nullptr}, {"chunks", 0},
                                 {"sound_bytes", 0}, {"pictures_of_another_size", 0}}},
                    {"outputs", {{"thumbnail", {{"path", "out.png"}, {"time", 0.2},
                                                {"picture", {{"width", 64}, {"height", 48}, {"time", 0.2}}},
                                                {"width", 64}, {"height", 48}}},
                                 {"audio", {{"path", "out.wav"}, {"sound_bytes", 3200 * 3 * 2}}}}},
                    {"restarts", json::array()},
                    {"slaves", json::array({{{"peak_bytes", nullptr}, {"cpu_ms", nullptr},
                                             {"cause", "exited with code 0"}}})},
                    {"warnings", json::array()}, {"errors", json::array()}, {"seconds", nullptr}}))
        << document.dump(2);
    // clang-format on
}

// A thumbnail is the picture shown at its time, the last one too, with square pixels; a sheet spreads its pictures.
TEST_F(ProbeProgramTest, ThumbnailsShowThePictureOfTheirTimeWithSquarePixels)
{
    const std::string clip = "file:///x.demo?w=64&h=48&fmt=rgb&frames=10";
    const std::pair<const char*, uint32_t> times[] = {{"0", 0}, {"0.039", 0}, {"0.04", 1}, {"0.399", 9}};
    for (const auto& [time, picture] : times) {
        SCOPED_TRACE(time);
        run({clip, "--thumbnail", time, "t.png", "--force"});
        expectPNG(m_folder.pathOf("t.png"), 64, 48, [=](uint32_t x, uint32_t y) { return demoPixel(x, y, picture); });
    }

    const testing::SVideoSettings wide{"mpeg4", "yuv420p", 320, 240, 25, 10, 0, 4, 3};
    testing::writeTestClip(m_folder.pathOf("wide.mkv"), {wide, {}});
    const SRun widened = run({"wide.mkv", "--thumbnail", "0.1", "w.jpg", "--sheet", "4", "s.png", "--json"});
    const json outputs = json::parse(widened.out)["outputs"];
    EXPECT_EQ(outputs["thumbnail"]["width"], 427) << outputs;
    EXPECT_EQ(outputs["thumbnail"]["height"], 240);
    EXPECT_EQ(m_folder.get("w.jpg").substr(0, 3), "\xff\xd8\xff");
    EXPECT_EQ(outputs["sheet"]["pictures"], 4) << outputs;
    // Only the pictures asked for were decoded: none were counted.
    EXPECT_EQ(json::parse(widened.out)["decoded"]["pictures"], nullptr);
    const uint32_t sheetWidth = outputs["sheet"]["width"], sheetHeight = outputs["sheet"]["height"];
    expectPNG(m_folder.pathOf("s.png"), sheetWidth, sheetHeight);
    // Two columns of 320 pixels with their 16:9 cells, and room between them.
    EXPECT_GT(sheetWidth, 640u);
    EXPECT_GT(sheetHeight, 2 * 180u);

    EXPECT_TRUE(holdsInOrder(run({"s.png", "--sheet", "2", "again.png"}, 1).err, {"the medium's duration is unknown"}));
}

// Real clips, misnamed too: every plugin, the demo's too, is tried when none takes the extension; one named is used.
TEST_F(ProbeProgramTest, FindsTheMediaPluginForARealClipWhateverItsName)
{
    testing::writeTestClip(m_folder.pathOf("clip.mp4"), {mpeg4Video, {testing::SAudioSettings{"aac", 44100}}});
    for (const char* name : {"camera", "camera.demo"})
        std::filesystem::copy_file(m_folder.pathOf("clip.mp4"), m_folder.pathOf(name));

    const SRun result = run({"clip.mp4", "--frames", "10", "--thumbnail", "0.2", "out.png"});
    // clang-format off
    expectFacts(result.out, {{"Plugin", "nebo_avlib"}, {"Picture size", "64x48"}, {"Layout", "YV12"},
                             {"Frame rate", "25/1 (25.000 fps)"}, {"Audio format", "44100 Hz, 2 channels, 16 bits"},
                             {"Pictures decoded", "10"}, {"Thumbnail", "out.png (picture at 0.200 s, 64x48)"}});
    // clang-format on
    expectPNG(m_folder.pathOf("out.png"), 64, 48);

    // A still picture has no duration to tell.
    expectFacts(run({"out.png"}).out, {{"Plugin", "nebo_avlib"}, {"Duration", "unknown"}, {"Pictures decoded", "1"}});
    EXPECT_EQ(json::parse(run({"--json", "out.png"}).out)["format"]["duration"], nullptr);

    const std::map<std::string, std::string> avlib = {{"Plugin", "nebo_avlib"}, {"Picture size", "64x48"}};
    // clang-format off
    const std::pair<std::vector<std::string>, std::map<std::string, std::string>> cases[] = {
        {{"camera"}, avlib},
        // The demo plugin takes ".demo" and needs no file: its default clip is 320x240 NV12.
        {{"--frames", "3", "camera.demo"}, {{"URI", "file://" + m_folder.pathOf("camera.demo")},
         {"Plugin", "nebo_demo"}, {"Picture size", "320x240"}, {"Layout", "NV12"}, {"Pictures decoded", "3"}}},
        {{"--plugin", "nebo_avlib", "camera.demo"}, avlib},
    };
    // clang-format on
    for (const auto& [arguments, facts] : cases) {
        SCOPED_TRACE(arguments.back());
        expectFacts(run(arguments).out, facts);
    }
}

// Each plugin says what it reads, as text and as JSON; one that cannot is listed with its reason.
TEST_F(ProbeProgramTest, ListsThePluginsAndWhatTheyRead)
{
    const SRun text = run({"--list-plugins"});
    const std::string demoLibrary = (binFolder() / nebo::common::CPluginFolders::pluginFileName("nebo_demo")).string();
    EXPECT_TRUE(holdsInOrder(
        text.out, {"Plugin: nebo_avlib\n",
                   "\n\nPlugin: nebo_demo\nLibrary: " + demoLibrary + "\nMedia: pictures, sound\nExtensions: demo\n",
                   "\nPlugin: nebo_sound\n"}));

    const SRun sound = run({"--list-plugins", "--json", "--plugin=nebo_sound"});
    const json document = json::parse(sound.out);
    ASSERT_EQ(document["plugins"].size(), 1u) << sound.out;
    EXPECT_EQ(document["plugins"][0]["name"], "nebo_sound");
    EXPECT_EQ(document["plugins"][0]["media"], json::array({"sound"}));
    const std::vector<std::string> extensions = document["plugins"][0]["extensions"];
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), "wav"), extensions.end()) << sound.out;

    // The log says why a plugin there does not load.
    std::filesystem::create_directory(m_folder.pathOf("plugins"));
    m_folder.put("plugins/" + nebo::common::CPluginFolders::pluginFileName("nebo_broken"), "no library at all");
    const std::vector<std::string> brokenPath = {"NEBO_PLUGIN_PATH=" + m_folder.pathOf("plugins")};
    const SRun listed = run({"--list-plugins", "--plugin", "nebo_broken"}, 1, brokenPath);
    EXPECT_TRUE(holdsInOrder(listed.out, {"Plugin: nebo_broken\nFailed: "}));
    const SRun broken = run({"--log", "--plugin", "nebo_broken", "file:///x.demo"}, 1, brokenPath);
    EXPECT_TRUE(holdsInOrder(broken.err, {"none of the plugins could be loaded"}));
    EXPECT_TRUE(holdsInOrder(broken.out, {"Log:\n", "Error while loading DLL"}));
}

// The subtype of the sound file at `path` and its samples' bytes, as libsndfile finds them.
std::pair<int, std::vector<uint8_t>> readSound(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {0, {}};
    std::vector<uint8_t> bytes(size_t(info.frames * info.channels) * sizeof(double));
    bytes.resize(size_t(sf_read_raw(file, bytes.data(), sf_count_t(bytes.size()))));
    sf_close(file);
    return {info.format & SF_FORMAT_SUBMASK, bytes};
}

// A plugin that hands out the medium's own precision has it written as it is; one that converts is said to.
TEST_F(ProbeProgramTest, SoundIsWrittenAtThePrecisionThePluginDelivers)
{
    const std::pair<int, std::vector<std::string>> sources[] = {
        {SF_FORMAT_PCM_24, {"Audio format: 8000 Hz, 2 channels, 24 bits\n", "s24, 24 bits"}},
        {SF_FORMAT_FLOAT, {"Audio format: 8000 Hz, 2 channels, 32 bits floating point\n"}}};
    for (const auto& [subtype, facts] : sources) {
        SCOPED_TRACE(facts[0]);
        SF_INFO info{8000, 8000, 2, SF_FORMAT_WAV | subtype, 0, 0};
        SNDFILE* file = sf_open(m_folder.pathOf("in.wav").c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<int32_t> samples(16000);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int32_t(i * 2654435761u) & ~0xff;
        sf_writef_int(file, samples.data(), 8000);
        sf_close(file);
        const SRun result = run({"--plugin", "nebo_sound", "in.wav", "--audio", "out.wav", "--force"});
        EXPECT_TRUE(holdsInOrder(result.out, facts));
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(readSound(m_folder.pathOf("out.wav")), readSound(m_folder.pathOf("in.wav")));
    }

    testing::writeTestClip(m_folder.pathOf("deep.mkv"), {std::nullopt, {testing::SAudioSettings{"pcm_s24le"}}});
    const SRun converted = run({"deep.mkv", "--audio", "mkv-out.wav"});
    EXPECT_TRUE(holdsInOrder(converted.err, {"warning: the medium holds s24 samples; the plugin delivered them, "
                                             "and the WAV file holds them, as s16"}));
    EXPECT_EQ(readSound(m_folder.pathOf("mkv-out.wav")).first, SF_FORMAT_PCM_16);
}

// Every sound track is listed; --audio-track picks the one decoded and written.
TEST_F(ProbeProgramTest, ListsEverySoundTrackAndWritesTheOneChosen)
{
    const testing::SAudioSettings english{"pcm_s16le", 48000, 2, 0.4, "eng"};
    const testing::SAudioSettings french{"pcm_s16le", 22050, 1, 0.4, "fra", 1};
    testing::writeTestClip(m_folder.pathOf("two.mkv"), {std::nullopt, {english, french}});

    EXPECT_TRUE(
        holdsInOrder(run({"two.mkv"}).out,
                     {"Audio format: 48000 Hz, 2 channels, 16 bits\n",
                      "Sound track 0: pcm_s16le, 2 channels, 48000 Hz, s16, 16 bits, 1.54 Mbit/s, language eng\n",
                      "Sound track 1: pcm_s16le, 1 channel, 22050 Hz, s16, 16 bits, 353 kbit/s, language fra\n"}));

    const SRun chosen = run({"two.mkv", "--audio-track", "1", "--audio", "fr.wav"});
    EXPECT_TRUE(holdsInOrder(chosen.out, {"Audio format: 22050 Hz, 1 channel, 16 bits\n"}));
    expectWAV(m_folder.pathOf("fr.wav"), {22050, 1, 16}, testing::decodeReferenceSound(m_folder.pathOf("two.mkv"), 1));

    EXPECT_TRUE(holdsInOrder(run({"two.mkv", "--audio-track=2"}, 1).err,
                             {"--audio-track: the medium has no sound track 2; its tracks are 0, 1"}));
}

// Each failure reaches the error output, its cause first, then what plugins, slaves or logs said; the facts tell too.
TEST_F(ProbeProgramTest, ReportsEachFailureWithItsCause)
{
    // clang-format off
    const struct { std::vector<std::string> arguments, errorParts, outParts; } cases[] = {
        {{"file:///x.demo?w=16&h=16&frames=1&channels=1", "--no-resume", "file:///x.demo?w=16&h=16&fail=throw"}, {},
         {"Audio format: 48000 Hz, 1 channel, 16 bits\n", "\nFailed: decode: CNEBError: the slave failed:\n  ",
          "\nSummary: 1 medium read, 1 failed, 1 picture decoded, "}},
        {{"file:///x.demo?w=16&h=16&fail=throw"},
         {"nebo_probe: CNEBError: ", "demo failure", "nebo_probe: --log shows what the plugins reported"},
         {"Plugin: nebo_demo", "Failed: decode: CNEBError: ", "demo failure"}},
        {{"/nonexistent/clip.mp4"},
         {"nebo_probe: Error: no plugin could open file:///nonexistent/clip.mp4\n",
          "  nebo_avlib: Error - The file '/nonexistent/clip.mp4' was not found.\n",
          "  nebo_demo: does not take the extension \"mp4\"\n"},
         {"Failed: open: Error: no plugin could open file:///nonexistent/clip.mp4\n  nebo_avlib: "}},
        // A plugin that names itself in its reason is not named twice.
        {{"file:///x.demo?frames=0"}, {"\n  nebo_demo: the value \"0\" of \"frames\" is not valid"}, {}},
        {{"--timeout", "0.5", "file:///x.demo?fail=hang&failat=open"},
         {"nebo_demo: CSlaveHandler: nebo_slave did not answer \"tryCreateSource\" within 500 ms"}, {}},
        // The whole crash report when asked; a crash while the handler tries the medium reaches the user too.
        {{"--verbose", "file:///x.demo?w=16&h=16&fail=write16"}, {"Fatal Exception at 0x", "Module Addresses:"}, {}},
        {{"file:///x.demo?fail=write16&failat=open"}, {"\n  nebo_demo: Fatal Exception at 0x"}, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const SRun result = run(c.arguments, 1);
        EXPECT_TRUE(holdsInOrder(result.err, c.errorParts));
        EXPECT_TRUE(holdsInOrder(result.out, c.outParts));
    }
}

TEST_F(ProbeProgramTest, ShowsACrashOnceAsASummaryWithThePathOfTheWholeReport)
{
    // A write fault, which the sanitizers leave to the slave's own handler.
    const SRun crash = run({"file:///x.demo?w=16&h=16&fail=write16"}, 1);
    const size_t summary = crash.err.find("nebo_probe: CNEBError: the slave failed:\n  Fatal Exception at 0x");
    ASSERT_NE(summary, std::string::npos) << crash.err;
    EXPECT_EQ(crash.err.find("Fatal Exception", summary + 50), std::string::npos) << crash.err;
    EXPECT_TRUE(holdsInOrder(crash.err, {"(nebo_demo.so)"}));
    EXPECT_EQ(crash.err.find("Module Addresses:"), std::string::npos) << crash.err;
    const size_t marker = crash.err.find("The whole report: ");
    ASSERT_NE(marker, std::string::npos) << crash.err;
    const size_t path = marker + std::strlen("The whole report: ");
    const std::string reportPath = crash.err.substr(path, crash.err.find(' ', path) - path);
    EXPECT_NE(nebo::test::readWholeFile(reportPath).find("Module Addresses:"), std::string::npos) << reportPath;
}

// A slave failing at picture 20 costs that picture, or all after it when told not to resume; three restarts at most.
TEST_F(ProbeProgramTest, GoesOnAfterAFailedSlaveUnlessToldNotTo)
{
    // clang-format off
    const struct { const char *fault, *cause, *firstEnd; } cases[] = {
        {"write16", "Fatal Exception at 0x", "killed by signal 11 (SIGSEGV)"},
        {"exit", "nebo_slave ended with exit code 3", "exited with code 3"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const std::string clip = std::string("file:///x.demo?w=16&h=16&frames=50&failat=20&fail=") + c.fault;
        const SRun resumed = run({"--timeout", "1", clip});
        expectFacts(resumed.out, {{"Pictures decoded", "49"}, {"Restarts", "1"}});
        EXPECT_TRUE(holdsInOrder(factsOf(resumed.out)["Restart 1"], {c.cause}));
        EXPECT_TRUE(holdsInOrder(
            resumed.out, {"\nSlave: ", std::string(c.firstEnd) + "\nSlave: ", " ms CPU, exited with code 0\n"}));

        const SRun stopped = run({"--timeout", "1", "--no-resume", clip}, 1);
        expectFacts(stopped.out, {{"Pictures decoded", "20"}, {"Restarts", "0"}});
        EXPECT_TRUE(holdsInOrder(stopped.err, {c.cause}));
    }

    expectFacts(run({"file:///x.demo?w=16&h=16&fail=exit"}, 1).out, {{"Restarts", "3"}, {"Pictures decoded", "0"}});
}

// The probe and what it needs in bin/ of a folder of their own, with a stand-in for nebo_slave that lies as
// NEBO_HOSTILE_MODE tells it, and finds liblumo one folder up, as in the build: a slave gets no library path.
class HostileProbeTest : public ProbeProgramTest {
protected:
    HostileProbeTest()
    {
        std::filesystem::create_directory(m_programs.pathOf("bin"));
        for (const char* file : {"nebo_probe", "liblumo.so", "libnebo.so", "nebo_demo.so"})
            std::filesystem::copy_file(binFolder() / file, m_programs.pathOf("bin/") + file);
        std::filesystem::copy_file(binFolder() / "liblumo.so", m_programs.pathOf("liblumo.so"));
        std::filesystem::copy_file(binFolder() / "hostile-slave" / "nebo_slave", programPath("nebo_slave"));
    }

    std::string programPath(const char* name) const { return m_programs.pathOf("bin/") + name; }

    // The copied probe with a slave that lies as `mode` says.
    SRun runLied(const std::string& mode, const std::vector<std::string>& arguments, int exitCode = 0)
    {
        return runProgram(programPath("nebo_probe"), arguments, {"NEBO_HOSTILE_MODE=" + mode}, exitCode);
    }

    lumo::CTempFolder m_programs;
};

// The lies that bring the slave's bytes towards the terminal, and slaves to end; the master's tests tell the rest.
TEST_F(HostileProbeTest, EveryLieEndsInAClearErrorAndNothingReachesTheTerminalRaw)
{
    const std::pair<const char*, const char*> cases[] = {
        {"silent", "did not answer \"getLog\" within 1000 ms"},
        {"huge-log", "2147483647"},
        {"huge-error", "536870912"},
        {"control-chars", "\\x1B]0;owned\\x07\\x1B[2J\\x1B[31mFAKE LINE\\x0D\n"},
        {"sparse-error-file", "a slave that left 1 GiB of error file"},
        {"forked-holder", "exit code 0"},
        {"facts-count", "The medium's facts hold 1000000 tags, where 0 to 256 are allowed."},
        {"facts-text", "a container name of 100000 bytes"},
        {"facts-number", "the bit rate -5, outside 0 to"},
    };
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(mode);
        const SRun result = runLied(mode, {"--timeout", "1", "file:///x.demo"}, 1);
        EXPECT_NE(result.err.find(expected), std::string::npos) << result.err.substr(0, 2000);
        EXPECT_EQ((result.out + result.err).find('\x1b'), std::string::npos);
        EXPECT_LT(result.err.size(), 8192u);
        EXPECT_TRUE(nebo::test::noProcessRuns(programPath("nebo_slave")));
    }
}

TEST_F(ProbeProgramTest, ShowsNamesOutsideASCIIAsTheyAre)
{
    // Not a clip: the plugin's reason, which names the file, comes from its slave's log.
    const std::string name = "\xC3\xBCn\xC3\xAF \xE2\x82\xAC.mp4";
    m_folder.put(name, "no clip at all");
    const SRun result = run({"--log", name}, 1);
    EXPECT_TRUE(holdsInOrder(result.out, {"Log:\n", m_folder.pathOf(name)}));
    EXPECT_TRUE(holdsInOrder(result.err, {m_folder.pathOf(name)}));
    // What a second encoding would make of "ü".
    EXPECT_EQ((result.out + result.err).find("\xC3\x83\xC2\xBC"), std::string::npos);
}

// Failures are members too; texts that are no UTF-8 or steer a terminal arrive escaped and readable.
TEST_F(ProbeProgramTest, WritesFailuresRestartsAndOddTextsAsJSON)
{
    json document = json::parse(run({"--json", "/nonexistent/clip.mp4"}, 1).out);
    EXPECT_EQ(document["status"], "failed");
    EXPECT_EQ(document["format"]["plugin"], nullptr);
    EXPECT_EQ(document["format"]["duration"], nullptr);
    EXPECT_EQ(document["streams"], json::array());
    ASSERT_EQ(document["errors"].size(), 1u);
    const json& error = document["errors"][0];
    EXPECT_EQ(error["step"], "open");
    EXPECT_EQ(error["type"], "Error");
    EXPECT_EQ(error["message"], "no plugin could open file:///nonexistent/clip.mp4");
    std::map<std::string, std::string> reasons;
    for (const json& plugin : error["plugins"])
        reasons[plugin["plugin"]] = plugin["reason"];
    EXPECT_EQ(reasons["nebo_demo"], "does not take the extension \"mp4\"");
    EXPECT_NE(reasons["nebo_avlib"].find("was not found"), std::string::npos) << reasons["nebo_avlib"];

    document =
        json::parse(run({"--json", "--timeout", "1", "file:///x.demo?w=16&h=16&frames=50&failat=20&fail=write16"}).out);
    ASSERT_EQ(document["restarts"].size(), 1u);
    EXPECT_NE(document["restarts"][0]["cause"].get<std::string>().find("Fatal Exception at 0x"), std::string::npos);
    ASSERT_EQ(document["slaves"].size(), 2u);
    EXPECT_EQ(document["slaves"][0]["cause"], "killed by signal 11 (SIGSEGV)");

    const SRun odd = run({"--json", "file:///\xff\x1b[31m.demo?w=16&h=16&frames=2"});
    EXPECT_EQ(odd.out.find('\x1b'), std::string::npos);
    for (const char byte : odd.out)
        EXPECT_LT(static_cast<unsigned char>(byte), 0x80u) << "plain ASCII";
    document = json::parse(odd.out);
    EXPECT_EQ(document["input"], "file:///\xef\xbf\xbd\x1b[31m.demo?w=16&h=16&frames=2");
}

// A folder of mixed media, probed two at a time, reads as each medium does alone, in the order of its names.
TEST_F(ProbeProgramTest, ProbesAFolderOfMixedMediaAsEachAlone)
{
    const testing::SAudioSettings sound{"aac", 48000, 2, 0.4, "fra"};
    std::filesystem::create_directories(m_folder.pathOf("media/sub"));
    std::filesystem::create_directories(m_folder.pathOf("media/empty"));
    testing::writeTestClip(m_folder.pathOf("media/clip.mp4"), {mpeg4Video, {sound}});
    testing::writeTestClip(m_folder.pathOf("media/sub/lossless.mkv"), {testing::SVideoSettings{}, {}});
    testing::writeTestClip(m_folder.pathOf("media/tone.wav"), {std::nullopt, {testing::SAudioSettings{}}});
    // Named to steer a terminal.
    const std::string broken = "media/broken\x1b[2J.avi";
    m_folder.put(broken, "RIFF, but nothing that follows makes a clip");
    const std::vector<std::string> media = {broken, "media/clip.mp4", "media/sub/lossless.mkv", "media/tone.wav"};

    const SRun all = run({"-j", "2", "--json", "--recursive", "media"}, 1);
    const std::vector<json> documents = documentsOf(all.out);
    ASSERT_EQ(documents.size(), media.size()) << all.out;
    for (size_t i = 0; i < media.size(); ++i) {
        SCOPED_TRACE(media[i]);
        EXPECT_EQ(documents[i]["input"], media[i]);
        EXPECT_EQ(withoutTimes(documents[i]), withoutTimes(json::parse(run({"--json", media[i]}, i == 0 ? 1 : 0).out)));
    }
    EXPECT_EQ(documents[1]["streams"][1]["tracks"][0]["language"], "fra");
    EXPECT_EQ(documents[1]["streams"][1]["tracks"][0]["codec"], "aac");
    EXPECT_TRUE(holdsInOrder(all.err, {"nebo_probe: media/broken\\x1B[2J.avi: Error: no plugin could open"}));

    // In text, the reports end in a summary.
    const SRun text = run({"-j", "2", "--recursive", "media", "file:///x.demo?w=16&h=16&frames=3"}, 1);
    EXPECT_TRUE(holdsInOrder(text.out, {"\n\nSummary: 4 media read, 1 failed, 23 pictures decoded, "}));
    EXPECT_EQ((text.out + text.err).find('\r'), std::string::npos) << "no progress bar off a terminal";
    EXPECT_EQ((all.out + all.err + text.out + text.err).find('\x1b'), std::string::npos);
}

// Each output that cannot be made fails the medium before a single picture is decoded and before anything is written.
TEST_F(ProbeProgramTest, ChecksEveryOutputBeforeDecoding)
{
    std::filesystem::create_directory(m_folder.pathOf("folder.png"));
    m_folder.put("kept.wav", "a file of the user's");
    testing::writeTestClip(m_folder.pathOf("silent.mkv"), {testing::SVideoSettings{}, {}});
    testing::writeTestClip(m_folder.pathOf("tone.wav"), {std::nullopt, {testing::SAudioSettings{}}});
    const std::string clip = "file:///x.demo?w=16&h=16&frames=10";
    // clang-format off
    const struct { std::vector<std::string> arguments, errors; } cases[] = {
        {{clip, "--thumbnail", "0", "folder.png"}, {"--thumbnail: \"folder.png\" is a folder, not a file"}},
        {{clip, "--audio", "kept.wav"}, {"--audio: \"kept.wav\" exists already; --force replaces it"}},
        {{clip, "--thumbnail", "99", "t.png", "--audio", "s.wav"},
         {"no picture at 99.000 s or later: it lasts 0.400 s"}},
        {{"silent.mkv", "--audio", "s.wav"}, {"the medium has no sound to write"}},
        {{"tone.wav", "--thumbnail", "0", "t.png", "--audio", "s.wav"},
         {"the medium has no pictures to take a thumbnail from"}},
        {{clip, "--thumbnail", "0", "/nonexistent/t.png", "--audio", "/nonexistent/s.wav"},
         {"--thumbnail: there is no folder", "--audio: there is no folder"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.errors[0]);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--json");
        const SRun result = run(arguments, 1);
        const json document = json::parse(result.out);
        ASSERT_EQ(document["errors"].size(), c.errors.size()) << result.out;
        for (size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_EQ(document["errors"][i]["step"], "check");
            EXPECT_NE(document["errors"][i]["message"].get<std::string>().find(c.errors[i]), std::string::npos)
                << document["errors"][i]["message"];
        }
        EXPECT_EQ(document["decoded"]["pictures"], 0);
        EXPECT_EQ(document["decoded"]["chunks"], 0);
        EXPECT_EQ(document["outputs"], json::object());
        // No plugin had a part in it: the log would tell nothing.
        EXPECT_EQ(result.err.find("--log shows"), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(m_folder.pathOf("t.png")));
        EXPECT_FALSE(std::filesystem::exists(m_folder.pathOf("s.wav")));
        EXPECT_EQ(m_folder.get("kept.wav"), "a file of the user's");
    }

    // A thumbnail that fails only when taken (in every slave) leaves the sound to be written; the status tells.
    const std::string failing = "file:///x.demo?w=16&h=16&frames=2&fail=throw&failat=1";
    const SRun late = run({failing, "--frames", "1", "--thumbnail", "0.05", "t.png", "--audio", "s.wav"}, 1);
    EXPECT_TRUE(holdsInOrder(late.err, {"no picture at 0.050 s or later"}));
    expectFacts(late.out, {{"Pictures decoded", "1"}, {"Thumbnail", "(none)"}});
    EXPECT_TRUE(std::filesystem::exists(m_folder.pathOf("s.wav")));
}

// What slaves said about the plugins is cached: the next probe of a medium starts only the slave that reads it.
TEST_F(ProbeProgramTest, AProbeOfAMediumWhosePluginsAreKnownStartsOneSlave)
{
    testing::writeTestClip(m_folder.pathOf("clip.mp4"), {mpeg4Video, {}});
    const std::vector<std::string> cacheOn = {"NEBO_CACHE=on", "XDG_CACHE_HOME=" + m_folder.pathOf("cache")};
    const auto slavesStarted = [&](const std::string& medium, const std::vector<std::string>& environment) {
        // The master logs each slave's end with its process id.
        return nebo::test::countOf(run({"--log", medium}, 0, environment).out, "<textlog>nebo_slave ");
    };
    for (const std::string medium : {"file:///x.demo?w=16&h=16&frames=2", "clip.mp4"}) {
        SCOPED_TRACE(medium);
        EXPECT_GT(slavesStarted(medium, {}), 1u) << "without the cache, slaves name the plugins";
        slavesStarted(medium, cacheOn);
        EXPECT_EQ(slavesStarted(medium, cacheOn), 1u);
    }
    EXPECT_TRUE(std::filesystem::exists(m_folder.pathOf("cache/nebo/plugin-answers.json")));
}

// A medium that only a sound plugin opens is described and its sound decoded, chunk by chunk.
TEST_F(ProbeProgramTest, ReadsAMediumWithoutPictures)
{
    const testing::SAudioSettings tone{"pcm_s16le", 44100, 2, 0.5};
    testing::writeTestClip(m_folder.pathOf("tone.wav"), {std::nullopt, {tone}});
    const SRun result = run({"--plugin", "nebo_sound", "tone.wav", "--audio", "out.wav"});
    // 22050 frames of 4 bytes in chunks of 4096 frames.
    // clang-format off
    expectFacts(result.out, {{"Plugin", "nebo_sound"}, {"Duration", "0.500 s"}, {"Pictures", "none"}, {"Restarts", "0"},
                             {"Audio format", "44100 Hz, 2 channels, 16 bits"},
                             {"Chunks decoded", "6 (88200 bytes of sound)"},
                             {"Audio file", "out.wav (88200 bytes of sound)"}});
    // clang-format on
    expectWAV(m_folder.pathOf("out.wav"), {44100, 2, 16}, testing::decodeReferenceSound(m_folder.pathOf("tone.wav")));

    const json document = json::parse(run({"--json", "--plugin", "nebo_sound", "--frames", "2", "tone.wav"}).out);
    EXPECT_EQ(document["decoded"]["chunks"], 2);
    EXPECT_EQ(document["decoded"]["sound_bytes"], 2 * 4096 * 4);
    EXPECT_EQ(document["decoded"]["pictures"], 0);
}

// A usage error probes nothing and says where to look; help is no error.
TEST_F(ProbeProgramTest, ExitsWithWhetherEveryMediumWasRead)
{
    const std::string good = "file:///x.demo?w=16&h=16&frames=2";
    const std::string bad = "file:///x.demo?w=16&h=16&fail=throw";
    // A usage error's own words precede the hint.
    // clang-format off
    const struct { std::vector<std::string> arguments; int status; std::vector<std::string> errorParts; } cases[] = {
        {{good, bad, good}, 1, {}},
        {{}, 2, {}},
        {{good, good, "--thumbnail", "0", "t.png"}, 2, {}},
        {{"--recursive", "missing"}, 2, {}},
        {{good, "http://host:port/x"}, 2, {}},
        {{"--plugin", "nebo_missing", good}, 2,
         {"there is no plugin \"nebo_missing\" in ", "the plugins there are ", "nebo_demo"}},
        {{good, "http://example.com/clip.mp4"}, 2,
         {"only local files can be probed, not \"http://example.com/clip.mp4\""}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "no arguments" : c.arguments.front() + " " + c.arguments.back());
        const SRun result = run(c.arguments, c.status);
        std::vector<std::string> errorParts = c.errorParts;
        if (c.status == 2) {
            EXPECT_EQ(result.out, "");
            errorParts.push_back("Try 'nebo_probe --help'.");
        }
        EXPECT_TRUE(holdsInOrder(result.err, errorParts));
    }

    const SRun help = run({"--help"});
    for (const char* option :
         {"--plugin", "--frames", "--thumbnail", "--audio", "--log", "--timeout", "--verbose", "--help"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_TRUE(holdsInOrder(help.out, {"The plugin folders searched, in order (NEBO_PLUGIN_PATH adds folders):\n  " +
                                        binFolder().string() + "\n"}));
    const SRun version = run({"--version"});
    EXPECT_EQ(version.out.rfind("nebo_probe ", 0), 0u) << version.out;
}

// Slaves started ahead change nothing of what a batch reports; none, nor its error file, outlives the probe.
TEST_F(ProbeProgramTest, ProbesABatchAlikeWithOrWithoutSlavesStartedAhead)
{
    std::vector<std::string> media;
    for (int i = 0; i < 6; ++i)
        media.push_back("file:///x" + std::to_string(i) + ".demo?w=16&h=16&frames=" + std::to_string(i + 1));
    // The test's own folder tells its slaves from those of tests running beside it.
    const std::string marker = "NEBO_POOL_TEST_MARKER=" + m_folder.pathOf("");
    std::vector<json> reports[2];
    const char* const pools[] = {"0", "3"};
    for (size_t p = 0; p < 2; ++p) {
        std::vector<std::string> arguments = {"-j", "1", "--json", "--pool", pools[p]};
        arguments.insert(arguments.end(), media.begin(), media.end());
        const SRun result = run(arguments, 0, {marker});
        for (const json& document : documentsOf(result.out))
            reports[p].push_back(withoutTimes(document));
        ASSERT_EQ(reports[p].size(), media.size()) << result.out;
        EXPECT_TRUE(nebo::test::noProcessRuns((binFolder() / "nebo_slave").string(), marker));
        for (const std::string& name : nebo::test::filesIn(m_folder.pathOf("")))
            EXPECT_NE(name.rfind("nebo_slave_", 0), 0u) << name;
    }
    EXPECT_EQ(reports[1], reports[0]);
}

TEST_F(HostileProbeTest, ReportsPicturesOfAnotherSizeThanAnnounced)
{
    const SRun result =
        runLied("small-picture", {"--timeout", "5", "--frames", "25", "--thumbnail", "0.2", "t.png", "file:///x.demo"});
    expectFacts(result.out,
                {{"Picture size", "64x48"}, {"Pictures decoded", "25"}, {"Pictures of another size", "25"}});
    for (const char* warning :
         {"nebo_probe: warning: 25 of the pictures differ from the announced size 64x48; the first, at 0.000 s, "
          "is 32x24\n",
          "nebo_probe: warning: the thumbnail's picture is 32x24, not the announced 64x48: it was written at its "
          "own size\n"})
        EXPECT_NE(result.err.find(warning), std::string::npos) << result.err;
    expectPNG(m_folder.pathOf("t.png"), 32, 24);

    const json document = json::parse(runLied("small-picture", {"--json", "--timeout", "5", "file:///x.demo"}).out);
    EXPECT_EQ(document["decoded"]["pictures_of_another_size"], 25);
    EXPECT_EQ(document["decoded"]["first_of_another_size"], json({{"width", 32}, {"height", 24}, {"time", 0.0}}));
    EXPECT_EQ(document["warnings"].size(), 1u);
    EXPECT_EQ(document["status"], "read");
}

} // namespace
} // namespace nebo::probe
