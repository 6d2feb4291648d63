#include "host/master/CPluginAnswerFile.h"

#include "boxed/CBoxedFixture.h"
#include "platform/CTempFolder.h"
#include "support/CScopedEnvironment.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace nebo::common;
using Records = CPluginAnswerFile::Records;
using SRecord = CPluginAnswerFile::SRecord;

namespace {

const SLibraryFile avlib{"/plugins/nebo_avlib.so", 123456, -42, "/bin/nebo_slave 99 7"};
const SRecord avlibAnswers{"nebo_avlib", 3, {{1, {"avi", "mkv"}}, {3, {"avi", "mkv", "wav"}}}};
const SLibraryFile sound{"/plugins/nebo_sound.so", 10, 20, ""};
const SRecord soundAnswers{"nebo_sound", std::nullopt, {}};

class CPluginAnswerFileTest : public ::testing::Test {
protected:
    std::string path() const { return m_folder.pathOf("cache/plugin-answers.json"); }
    CPluginAnswerFile file() const { return CPluginAnswerFile(path()); }

    void put(const std::string& bytes) const
    {
        std::filesystem::create_directories(m_folder.pathOf("cache"));
        std::ofstream(path(), std::ios::binary) << bytes;
    }
    std::string bytes() const { return nebo::test::readWholeFile(path()); }
    std::vector<std::string> namesInFolder() const { return nebo::test::filesIn(m_folder.pathOf("cache")); }

    lumo::CTempFolder m_folder;
};

// A file as a master writes it, with `record` in place of the avlib record's body.
std::string fileWith(const std::string& record)
{
    return R"({"format":"nebo plugin answers 1","records":[{"library":"/p/a.so","size":1,"modified":2,"slave":"",)" +
           record + "}]}";
}

std::string extensionList(size_t count)
{
    std::string list;
    for (size_t i = 0; i < count; ++i)
        list += std::string(i ? "," : "") + "\"e\"";
    return list;
}

std::string manyRecords(size_t count)
{
    std::string records;
    for (size_t i = 0; i < count; ++i)
        records += std::string(i ? "," : "") + R"({"library":"/p/)" + std::to_string(i) +
                   R"(.so","size":1,"modified":2,"slave":"","name":"p"})";
    return R"({"format":"nebo plugin answers 1","records":[)" + records + "]}";
}

} // namespace

TEST_F(CPluginAnswerFileTest, KeepsEveryAnswerForTheNextReader)
{
    file().store(avlib, avlibAnswers);
    file().store(sound, soundAnswers);
    const Records expected = {{avlib, avlibAnswers}, {sound, soundAnswers}};
    EXPECT_EQ(file().read(), expected);
    // A record stored anew replaces the old one.
    const SRecord renamed{"nebo_avlib2", 1, {}};
    file().store(avlib, renamed);
    EXPECT_EQ(file().read().at(avlib), renamed);
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"plugin-answers.json"});
}

// Whatever a file holds beyond what a master writes makes it count for nothing; the next store replaces it.
TEST_F(CPluginAnswerFileTest, AFileOutOfBoundsIsIgnoredAndReplaced)
{
    file().store(avlib, avlibAnswers);
    const std::string written = bytes();
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", written.substr(0, written.size() / 2)},
        {"not JSON", "\177ELF\x01\x01"},
        {"another version", R"({"format":"nebo plugin answers 2","records":[]})"},
        {"longer than a file of answers", written + std::string(CPluginAnswerFile::maxFileBytes, ' ')},
        {"nested deeply", std::string(100000, '[') + std::string(100000, ']')},
        {"too many records", manyRecords(CPluginAnswerFile::maxRecords + 1)},
        {"a name with a blank", fileWith(R"("name":"a b")")},
        {"a name with a slash", fileWith(R"("name":"../x")")},
        {"a name too long", fileWith(R"("name":")" + std::string(200, 'a') + "\"")},
        {"no name", fileWith(R"("types":1)")},
        {"types as text", fileWith(R"("name":"a","types":"3")")},
        {"types beyond 32 bits", fileWith(R"("name":"a","types":4294967296)")},
        {"types key not a number", fileWith(R"("name":"a","extensions":{"x":["avi"]})")},
        {"types key with a leading zero", fileWith(R"("name":"a","extensions":{"01":["avi"]})")},
        {"an empty extension", fileWith(R"("name":"a","extensions":{"1":[""]})")},
        {"an extension with a control character", fileWith(R"("name":"a","extensions":{"1":["a\u001bb"]})")},
        {"an extension that is a number", fileWith(R"("name":"a","extensions":{"1":[5]})")},
        {"too many extensions",
         fileWith(R"("name":"a","extensions":{"1":[)" + extensionList(CPluginAnswerFile::maxExtensions + 1) + "]}")},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        put(test.bytes);
        EXPECT_EQ(file().read(), Records());
        file().store(sound, soundAnswers);
        EXPECT_EQ(file().read(), (Records{{sound, soundAnswers}}));
    }
    // The bounds do not refuse what lies within them.
    put(manyRecords(CPluginAnswerFile::maxRecords));
    EXPECT_EQ(file().read().size(), CPluginAnswerFile::maxRecords);
}

TEST_F(CPluginAnswerFileTest, KeepsNothingItCouldNotReadBackOrWrite)
{
    const struct {
        const char* name;
        SLibraryFile library;
        SRecord record;
    } cases[] = {
        {"a name with a blank", sound, {"a b", std::nullopt, {}}},
        {"an extension with a line break", sound, {"a", std::nullopt, {{1, {"a\nb"}}}}},
        {"an extension too long", sound, {"a", std::nullopt, {{1, {std::string(33, 'e')}}}}},
        {"a path too long", {std::string(5000, 'p'), 1, 1, ""}, soundAnswers},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        file().store(test.library, test.record);
        EXPECT_FALSE(std::filesystem::exists(path()));
    }
    // A cache that cannot be written keeps nothing and fails nothing.
    std::ofstream(m_folder.pathOf("a-file")) << "in the way";
    for (const std::string& place : {std::string(), m_folder.pathOf("a-file/plugin-answers.json")}) {
        SCOPED_TRACE(place);
        const CPluginAnswerFile unwritable(place);
        unwritable.store(avlib, avlibAnswers);
        EXPECT_EQ(unwritable.read(), Records());
    }
    EXPECT_EQ(std::filesystem::file_size(m_folder.pathOf("a-file")), 10u);
}

// Masters that store side by side never leave a file that a reader could not take whole. (Under Wine a
// replaced file is gone for a moment, and a store may then start afresh: only what is there must be whole.)
TEST_F(CPluginAnswerFileTest, ReadersSeeWholeFilesWhileManyStore)
{
    constexpr int writers = 4;
    constexpr int storesEach = 40;
    file().store(sound, soundAnswers);
    std::atomic<bool> bDone{false};
    int brokenReads = 0;
    std::thread reader([&] {
        // Each version found is read back from a copy, which no store replaces meanwhile.
        const std::string copyPath = m_folder.pathOf("copy.json");
        while (!bDone) {
            const std::string found = bytes();
            if (found.empty())
                continue;
            std::ofstream(copyPath, std::ios::binary | std::ios::trunc) << found;
            if (CPluginAnswerFile(copyPath).read().empty())
                ++brokenReads;
        }
    });
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            for (int i = 0; i < storesEach; ++i)
                file().store({"/p/" + std::to_string(w) + ".so", 1, i, ""}, soundAnswers);
        });
    for (std::thread& thread : threads)
        thread.join();
    bDone = true;
    reader.join();
    EXPECT_EQ(brokenReads, 0);
    const Records records = file().read();
    EXPECT_FALSE(records.empty());
    for (const auto& [library, record] : records)
        EXPECT_EQ(record, soundAnswers) << library.path;
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"plugin-answers.json"});
}

TEST(CPluginAnswerFileUserPathTest, FollowsTheUsersCacheFolderUnlessTurnedOff)
{
    const struct {
        const char *cache, *xdg, *home, *localAppData, *expected;
    } cases[] = {
        {nullptr, "/x", "/h", "/l", "/x/nebo/plugin-answers.json"},
        {nullptr, nullptr, "/h", "/l", "/h/.cache/nebo/plugin-answers.json"},
        {nullptr, "", "/h", nullptr, "/h/.cache/nebo/plugin-answers.json"},
        {nullptr, nullptr, nullptr, "/l", "/l/nebo/plugin-answers.json"},
        {nullptr, nullptr, nullptr, nullptr, ""},
        {"off", "/x", "/h", "/l", ""},
        {"on", "/x", "/h", "/l", "/x/nebo/plugin-answers.json"},
    };
    for (const auto& test : cases) {
        const lumo::CScopedEnvironment cache("NEBO_CACHE", test.cache);
        const lumo::CScopedEnvironment xdg("XDG_CACHE_HOME", test.xdg);
        const lumo::CScopedEnvironment home("HOME", test.home);
        const lumo::CScopedEnvironment localAppData("LOCALAPPDATA", test.localAppData);
        EXPECT_EQ(std::filesystem::path(CPluginAnswerFile::userFilePath()), std::filesystem::path(test.expected))
            << (test.xdg ? test.xdg : "-") << " " << (test.home ? test.home : "-");
    }
}
