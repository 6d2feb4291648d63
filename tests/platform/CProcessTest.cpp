// A program of either backend, started through the platform's factory.
#include "CProcessChild.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "support/CScopedEnvironment.h"

#include <algorithm>

namespace lumo {
namespace {

// What terminate() leaves as exit code, the same on every platform.
constexpr int32_t terminatedExitCode = 137;

TEST(CProcessTest, PassesTheArgumentsWordByWordInTheWorkingDirectory)
{
    const struct {
        const char* arguments;
        std::vector<std::string> words;
        const char* folder;
    } cases[] = {
        {"", {}, ""},
        {"one", {"one"}, "work folder"},
        {"  a  b\tc 'd e' \"f g\" h%20i ä ", {"a", "b", "c", "'d", "e'", "\"f", "g\"", "h%20i", "ä"}, ""},
        // Backslashes count as escapes on some platforms, but only before a double quote.
        {"a\\\"b c\\\\\" d\\ \\\\e\\ \"", {"a\\\"b", "c\\\\\"", "d\\", "\\\\e\\", "\""}, ""},
    };
    for (const auto& test : cases) {
        CProcessChild child;
        const std::filesystem::path folder = *test.folder ? child.makeFolder(test.folder) : "";
        P<IProcess> process = child.start(std::string("report ") + test.arguments, nullptr, folder);
        ASSERT_TRUE(waitForEnd(*process));
        const std::vector<std::string> report = child.getReport();
        ASSERT_GE(report.size(), 2u) << test.arguments;
        const std::filesystem::path ranIn = std::filesystem::u8path(report[0]);
        EXPECT_TRUE(std::filesystem::equivalent(ranIn, folder.empty() ? std::filesystem::current_path() : folder))
            << report[0];
        EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::u8path(report[1]), child.getProgramPath()))
            << report[1];
        // The words: the lines after the folder and the path, up to the marker.
        const std::vector<std::string> words(report.begin() + 2, std::find(report.begin(), report.end(), "--"));
        EXPECT_EQ(words, test.words) << '"' << test.arguments << '"';
        EXPECT_EQ(process->getExitCode(), static_cast<int32_t>(test.words.size()));
    }
}

// Local files are "file" URIs of any case without a host but "localhost"; other URIs, an opaque "file"
// one among them, are left to other factories. A zero in a path is refused before anything starts, a
// working directory of another scheme is an error, and an object other than options leaves the defaults.
TEST(CProcessTest, FactoryStartsLocalFilesAndLeavesOtherURIsToOthers)
{
    const P<IProcessFactory> factory = createPlatformProcessFactory();
    CProcessChild child;
    const std::string path = CProcessChild::uriOf(child.getProgramPath())->getEscapedPath().toUTF8();
    const P<IBase> notOptions = make<CObject>();
    const auto start = [&](const std::string& text, bool bTrying) {
        const P<IURI> uri = make<CURI>(String::fromUTF8(text));
        const PFrail<IBase> other(notOptions.get(), true);
        return bTrying ? factory->tryCreateProcess(uri, String("exit 3"), PFrail<IURI>(), other, 0)
                       : factory->createProcess(uri, String("exit 3"), PFrail<IURI>(), other, 0);
    };
    const struct {
        std::string uri;
        bool bHandled;
    } cases[] = {
        {"file://" + path, true},       {"FILE://localhost" + path, true}, {"file:program", false},
        {"http://host/program", false}, {"mailto:someone", false},
    };
    for (const auto& test : cases) {
        P<IProcess> process = start(test.uri, true);
        EXPECT_EQ(static_cast<bool>(process), test.bHandled) << test.uri;
        if (!process) {
            EXPECT_THROW(start(test.uri, false), CURITypeNotSupportedError) << test.uri;
            continue;
        }
        ASSERT_TRUE(waitForEnd(*process)) << test.uri;
        EXPECT_EQ(process->getExitCode(), 3) << test.uri;
    }
    EXPECT_THROW(start(path + "%00x", true), CURIFormatError);
    EXPECT_THROW(start("file://" + path + "%00x", true), CURIFormatError);
    const P<IURI> elsewhere = make<CURI>(String("http://host/folder/"));
    EXPECT_THROW(factory->createProcess(CProcessChild::uriOf(child.getProgramPath()), String(),
                                        PFrail<IURI>(elsewhere.get(), true), PFrail<IBase>(), 0),
                 CURITypeNotSupportedError);
}

// A program ended with terminate() is left alone afterwards, also by a second terminate(). The memory a
// program held is the backends' to test: not every system keeps it.
TEST(CProcessTest, EndTellsTheCauseExitCodeAndProcessorTimeOnceTheProgramEnded)
{
    const struct {
        const char* arguments;
        bool bOwnProcessGroup;
        bool bTerminate;
        int32_t exitCode;
        int64_t minCpuTimeMs;
    } cases[] = {
        {"exit 0", false, false, 0, 0},
        {"exit 255", false, false, 255, 0},
        {"sleep", false, true, terminatedExitCode, 0},
        // Some processor time, however busy the machine is with others.
        {"busy 300", false, false, 0, 1},
        {"busy 300", true, false, 0, 1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.arguments) + (test.bOwnProcessGroup ? ", own group" : ""));
        CProcessChild child;
        CProcessOptions options;
        options.bOwnProcessGroup = test.bOwnProcessGroup;
        P<IProcess> process = child.start(test.arguments, &options);
        if (test.bTerminate) {
            EXPECT_FALSE(process->hasTerminated());
            EXPECT_FALSE(process->waitForEnd(20));
            EXPECT_EQ(process->getExitCode(), -1);
            SProcessEnd end;
            EXPECT_FALSE(process->getEnd(end));
            process->terminate();
        }
        ASSERT_TRUE(waitForEnd(*process));
        process->terminate();
        EXPECT_EQ(process->getExitCode(), test.exitCode);
        SProcessEnd end;
        ASSERT_TRUE(process->getEnd(end));
        EXPECT_EQ(end.exitCode, test.exitCode);
        if (!test.bTerminate) {
            EXPECT_EQ(end.cause.toUTF8(), "exited with code " + std::to_string(test.exitCode));
        }
        EXPECT_GE(end.cpuTimeMs, test.minCpuTimeMs);
    }
}

TEST(CProcessTest, PriorityReadsBackAsStarted)
{
    CProcessChild child;
    P<IProcess> normal = child.start("sleep");
    const int32_t ownPriority = normal->getPriority();
    normal->terminate();
    ASSERT_TRUE(waitForEnd(*normal));
    if (ownPriority != IProcess::priorityNormal)
        GTEST_SKIP() << "the tests run at a priority of their own";
    const struct {
        int32_t priority;
        int32_t readBack;
    } cases[] = {
        {IProcess::priorityIdle, IProcess::priorityIdle},
        {IProcess::priorityBelowNormal, IProcess::priorityBelowNormal},
        {5, IProcess::priorityNormal},
    };
    for (const auto& test : cases) {
        P<IProcess> process = child.start("sleep", nullptr, {}, test.priority);
        EXPECT_EQ(process->getPriority(), test.readBack) << test.priority;
        process->terminate();
        EXPECT_TRUE(waitForEnd(*process));
    }
}

// Limited to the standard descriptors, the program still has those.
TEST(CProcessTest, DiscardedOutputReachesNoneOfTheCallersOutputs)
{
    CProcessChild child;
    for (const bool bDiscard : {true, false}) {
        for (const bool bOnlyStandard : {false, true}) {
            CProcessOptions options;
            options.bDiscardOutput = bDiscard;
            options.bInheritOnlyStandardDescriptors = bOnlyStandard;
            // The child inherits the captured outputs as they are while it starts.
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            P<IProcess> process = child.start("talk", &options);
            const bool bEnded = waitForEnd(*process);
            const std::string out = testing::internal::GetCapturedStdout();
            const std::string err = testing::internal::GetCapturedStderr();
            ASSERT_TRUE(bEnded);
            // Text mode may end the lines with a carriage return.
            EXPECT_EQ(bDiscard ? "" : "out", out.substr(0, out.find_first_of("\r\n"))) << bDiscard << bOnlyStandard;
            EXPECT_EQ(bDiscard ? "" : "err", err.substr(0, err.find_first_of("\r\n"))) << bDiscard << bOnlyStandard;
            EXPECT_EQ(process->getExitCode(), 0);
        }
    }
}

// The environment, sorted, that a program reports when started with `options`: the lines after the marker.
std::vector<std::string> environmentWith(CProcessOptions& options)
{
    CProcessChild child;
    P<IProcess> process = child.start("report", &options);
    EXPECT_TRUE(waitForEnd(*process));
    const std::vector<std::string> lines = child.getReport();
    const auto marker = std::find(lines.begin(), lines.end(), "--");
    std::vector<std::string> variables(marker == lines.end() ? marker : marker + 1, lines.end());
    std::sort(variables.begin(), variables.end());
    return variables;
}

// What some systems add to every program's environment is all a program given an empty one gets: none of
// the caller's variables. Taken by name, the caller's variables replace the list.
TEST(CProcessTest, ProgramGetsTheCallersEnvironmentOrTheGivenOne)
{
    const CScopedEnvironment callersOwn("NEBO_TEST_CALLERS_OWN", "1");
    const CScopedEnvironment wanted("NEBO_TEST_WANTED", "a=b");
    CProcessOptions named;
    named.environment = {"LEFT=over"};
    named.takeCallerVariables([](const std::string& name) { return name.rfind("NEBO_TEST_W", 0) == 0; });
    EXPECT_TRUE(named.bOwnEnvironment);
    EXPECT_EQ(named.environment, std::vector<std::string>({"NEBO_TEST_WANTED=a=b"}));
    CProcessOptions caller;
    caller.takeCallerVariables([](const std::string&) { return true; });
    std::sort(caller.environment.begin(), caller.environment.end());
    ASSERT_FALSE(caller.environment.empty());
    CProcessOptions empty;
    empty.bOwnEnvironment = true;
    const std::vector<std::string> systemOwn = environmentWith(empty);
    EXPECT_EQ(std::count(systemOwn.begin(), systemOwn.end(), "NEBO_TEST_CALLERS_OWN=1"), 0);
    std::vector<std::string> given = {"A=1", "B=two words", "EMPTY="};
    given.insert(given.end(), systemOwn.begin(), systemOwn.end());
    std::sort(given.begin(), given.end());
    const struct {
        const char* name;
        bool bOwnEnvironment;
        std::vector<std::string> environment;
        std::vector<std::string> expected;
    } cases[] = {
        {"defaults", false, {}, caller.environment},
        {"given environment", true, {"B=two words", "A=1", "EMPTY="}, given},
        {"list without the flag", false, {"A=1"}, caller.environment},
    };
    for (const auto& test : cases) {
        CProcessOptions options;
        options.bOwnEnvironment = test.bOwnEnvironment;
        options.environment = test.environment;
        EXPECT_EQ(environmentWith(options), test.expected) << test.name;
    }
}

} // namespace
} // namespace lumo
