#include "host/CSlaveHandler.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "host/CLogManager.h"
#include "host/CSimpleNEBContext.h"
#include "host/CSlaveError.h"
#include "media/CNEBError.h"
#include "platform/CScopedPipeFolder.h"
#include "platform/IProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// "nebo_slave_", eight upper-case hexadecimal digits, "_log".
bool isErrorFileName(const std::string& name)
{
    const std::string prefix = "nebo_slave_", suffix = "_log";
    if (name.size() != prefix.size() + 8 + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string digits = name.substr(prefix.size(), 8);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

class CSlaveHandlerTest : public ::testing::Test {
protected:
    P<CSlaveHandler> makeHandler() { return make<CSlaveHandler>(m_context, String("nebo_demo"), -10); }
    std::string pathOf(const CSlaveHandler& handler) const { return handler.getErrorFile()->getNativePath().toUTF8(); }

    lumo::CScopedPipeFolder m_pipes;
    lumo::CTempFolder m_temp;
    lumo::CScopedEnvironment m_tempEnvironment{"TMPDIR", m_temp.pathOf("").c_str()};
    P<CSimpleNEBContext> m_context = make<CSimpleNEBContext>();
};

TEST(CSlaveHandlerNamingTest, PipeNameHasThreeFieldsOfEightHexDigits)
{
    EXPECT_EQ(CSlaveHandler::formatPipeName(4711, 0xabc, 1).toUTF8(), "nebo_slave-00001267-00000abc-00000001");
    EXPECT_EQ(CSlaveHandler::formatPipeName(0xffffffffu, 0x12345678, 0xdeadbeef).toUTF8(),
              "nebo_slave-ffffffff-12345678-deadbeef");
}

TEST_F(CSlaveHandlerTest, ErrorFileIsMadeInTheTemporaryFolderAndKeptOnlyWithContent)
{
    std::string empty, written;
    {
        const P<CSlaveHandler> a = makeHandler(), b = makeHandler();
        empty = pathOf(*a);
        written = pathOf(*b);
        EXPECT_NE(empty, written);
        for (const std::string& path : {empty, written}) {
            const std::filesystem::path file(path);
            EXPECT_EQ(file.parent_path(), std::filesystem::path(m_temp.pathOf("")).parent_path());
            EXPECT_TRUE(isErrorFileName(file.filename().string())) << path;
            EXPECT_EQ(std::filesystem::file_size(file), 0u);
        }
        std::ofstream(written, std::ios::binary) << "a slave's last words";
    }
    EXPECT_FALSE(std::filesystem::exists(empty));
    EXPECT_TRUE(std::filesystem::exists(written));
}

TEST_F(CSlaveHandlerTest, CommandLineCarriesTheErrorFileAndTheLogLevel)
{
    const P<CLogManager> log = make<CLogManager>(String("log"));
    log->setLogLevel(3);
    m_context->setLogManager(log);
    const P<CSlaveHandler> handler = makeHandler();
    // The pipe is named only when the slave starts.
    const std::string start = " " + std::to_string(lumo::getCurrentProcessID()) + "  nebo_demo " +
                              handler->getErrorFile()->getText().toUTF8();
    EXPECT_EQ(handler->buildCommandLine().toUTF8(), start + " 3");
    m_context->setLogManager(nullptr);
    EXPECT_EQ(handler->buildCommandLine().toUTF8(), start + " 0");
}

TEST_F(CSlaveHandlerTest, ErrorFileIsReportedOnlyWithContent)
{
    const P<CSlaveHandler> handler = makeHandler();
    const std::string path = pathOf(*handler);
    handler->checkForSlaveError();
    handler->checkForSlaveFailure();

    std::ofstream(path, std::ios::binary) << "lumo::CException\nType: Error\ntext: gone";
    lumo::expectError<CNEBError>(
        "CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\nlumo::CException\nType: Error\ntext: gone",
        [&] { handler->checkForSlaveError(); });
    // A slave that ended cleanly has deleted its file.
    std::filesystem::remove(path);
    handler->checkForSlaveError();
}

TEST_F(CSlaveHandlerTest, LargeErrorFileIsCutAtTheLimitAndSaysSo)
{
    SSlaveLimits limits;
    limits.maxErrorFileBytes = 21;
    m_context->setSlaveLimits(limits);
    const P<CSlaveHandler> handler = makeHandler();
    const std::string path = pathOf(*handler);
    // Sparse: what the slave claims costs it no disk, and must cost the master no memory.
    std::ofstream(path, std::ios::binary) << "lumo::CException\nType: Error\ntext: gone";
    std::filesystem::resize_file(path, 1 << 30);
    lumo::expectThrow<CSlaveError>([&] { handler->checkForSlaveError(); }, [&](const CSlaveError& error) {
        EXPECT_EQ(String(error.getDescription()).toUTF8(),
                  "CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\nlumo::CException\nType"
                  "\n\n[the error file holds 1073741824 bytes; only the first 21 are shown here; the whole text is in " +
                      path + "]");
        EXPECT_EQ(error.getSummary().toUTF8(), "lumo::CException\nType");
        EXPECT_EQ(error.getErrorFilePath().toUTF8(), path);
    });
}

TEST_F(CSlaveHandlerTest, SlaveThatEndsBeforeConnectingIsReportedWithItsExitCode)
{
    // Were the slave's end not noticed, the wait would last the whole limit.
    SSlaveLimits limits;
    limits.timeoutMs = 600000;
    m_context->setSlaveLimits(limits);
    m_context->setSlaveProgram(make<lumo::CURI>(String("file:///bin/false")));
    lumo::expectError<CNEBError>(
        "CNEBPluginBoxed::checkForSlaveFailure: nebo_slave ended with exit code 1 and left no error text",
        [&] { makeHandler()->getClient(); });
}

TEST_F(CSlaveHandlerTest, MissingSlaveProgramIsTheProcessLayersErrorAndLeavesNoPipe)
{
    // The host tests run from a folder of their own, without the slave program.
    lumo::expectThrow<lumo::CError>([&] { makeHandler()->getClient(); }, [](const lumo::CError& error) {
        EXPECT_EQ(error.getDescription()->toUTF8().rfind("Error executing file '", 0), 0u)
            << error.getDescription()->toUTF8();
    });
    EXPECT_TRUE(std::filesystem::is_empty(m_pipes.getPath()));
}

// A slave may have a use for these of the master's variables, and for no other.
bool isAllowedForSlaves(const std::string& name)
{
    const std::vector<std::string> names = {"PATH",         "LANG",          "TZ",          "TMPDIR",
                                            "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};
    return std::find(names.begin(), names.end(), name) != names.end() || name.rfind("LC_", 0) == 0 ||
           name.rfind("NEBO_", 0) == 0;
}

TEST_F(CSlaveHandlerTest, SlaveStartsWithAllowedVariablesOnlyAndNoStrayDescriptor)
{
    const std::vector<std::pair<const char*, const char*>> passed = {
        {"LANG", "de_DE.UTF-8"},      {"LC_TIME", "C"},           {"TZ", "Europe/Berlin"},
        {"NEBO_TEST_SETTING", "on"},  {"ASAN_OPTIONS", "a=1"},    {"UBSAN_OPTIONS", "b=2"},
        {"LSAN_OPTIONS", "c=3"},
    };
    const std::vector<std::pair<const char*, const char*>> withheld = {
        {"HOME", "/home/master"}, {"LD_LIBRARY_PATH", "/evil"}, {"MASTER_SECRET", "hunter2"},
        {"LCX", "1"},             {"XNEBO_Y", "1"},             {"NEBO_SLAVE_MAX_ADDRESS_SPACE", "1"},
    };
    std::vector<std::unique_ptr<lumo::CScopedEnvironment>> variables;
    for (const auto& [name, value] : passed)
        variables.push_back(std::make_unique<lumo::CScopedEnvironment>(name, value));
    for (const auto& [name, value] : withheld)
        variables.push_back(std::make_unique<lumo::CScopedEnvironment>(name, value));
    // Left open across exec, as a careless master might.
    const int stray = fcntl(open("/dev/null", O_RDONLY), F_DUPFD, 200);
    ASSERT_GE(stray, 200);

    // A "slave" that tells what it got and ends without connecting.
    lumo::CTempFolder programs;
    programs.put("slave.sh", "#!/bin/sh\n/bin/cat /proc/$$/environ > '" + programs.pathOf("environment") +
                                 "'\n[ -e /proc/$$/fd/" + std::to_string(stray) + " ] && : > '" +
                                 programs.pathOf("stray") + "'\nexit 0\n");
    chmod(programs.pathOf("slave.sh").c_str(), 0755);
    m_context->setSlaveProgram(lumo::CURI::fromNativePath(String::fromUTF8(programs.pathOf("slave.sh"))));
    SSlaveLimits limits;
    limits.maxSlaveAddressSpace = 123456789;
    m_context->setSlaveLimits(limits);
    EXPECT_THROW(makeHandler()->getClient(), CNEBError);
    close(stray);

    std::vector<std::string> environment;
    std::istringstream text(programs.get("environment"));
    for (std::string variable; std::getline(text, variable, '\0');)
        environment.push_back(variable);
    const auto has = [&](const std::string& variable) {
        return std::count(environment.begin(), environment.end(), variable) == 1;
    };
    EXPECT_TRUE(has("PATH=" + std::string(std::getenv("PATH"))));
    EXPECT_TRUE(has("TMPDIR=" + m_temp.pathOf("")));
    EXPECT_TRUE(has("NEBO_SLAVE_MAX_ADDRESS_SPACE=123456789"));
    for (const auto& [name, value] : passed)
        EXPECT_TRUE(has(name + std::string("=") + value)) << name;
    for (const std::string& variable : environment)
        EXPECT_TRUE(isAllowedForSlaves(variable.substr(0, variable.find('=')))) << variable;
    EXPECT_EQ(environment.size(), std::set<std::string>(environment.begin(), environment.end()).size());
    EXPECT_FALSE(std::filesystem::exists(programs.pathOf("stray")));
}

} // namespace
