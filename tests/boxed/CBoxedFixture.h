#pragma once

// A master's surroundings for boxed plugins: pipes and error files in
// folders of the test's own, a context that logs, and the real nebo_slave
// and nebo_demo beside the test program.
#include "foundation/CException.h"
#include "host/CLogManager.h"
#include "host/CPluginHandler.h"
#include "host/CSimpleNEBContext.h"
#include "host/IPluginExtensions.h"
#include "platform/CScopedPipeFolder.h"
#include "support/slaveProcesses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace nebo::test {

// Whether the process's environment holds `entry` ("NAME=value").
inline bool environmentHolds(const std::filesystem::path& process, const std::string& entry)
{
    std::ifstream file(process / "environ", std::ios::binary);
    const std::string environment =
        std::string(1, '\0') + std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return environment.find(std::string(1, '\0') + entry + std::string(1, '\0')) != std::string::npos;
}

// True once no process runs `program` (a full path), wherever it moved in the tree, after a short wait for
// kills to land. With a `marker`, only processes whose environment holds it count: this test's, not those of
// tests beside it. Asks /proc, so POSIX only.
inline bool noProcessRuns(const std::string& program, const std::string& marker = std::string())
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        bool bFound = false;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::error_code error;
            bFound = bFound || (std::filesystem::read_symlink(entry.path() / "exe", error) == program &&
                                (marker.empty() || environmentHolds(entry.path(), marker)));
        }
        if (!bFound)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

inline std::string descriptionOf(const lumo::CException& error)
{
    return lumo::String(error.getDescription()).toUTF8();
}

inline size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

inline std::vector<std::string> extensionsOf(common::IPluginExtensions& extensions)
{
    std::vector<std::string> texts;
    for (int32_t index = 0; index < extensions.getExtensionCount(); ++index)
        texts.push_back(lumo::String::fromUTF16(extensions.getExtension(index)).toUTF8());
    return texts;
}

inline std::vector<std::string> pluginNamesOf(common::CPluginHandler& handler)
{
    std::vector<std::string> names;
    for (int32_t index = 0; index < handler.getPluginCount(); ++index)
        names.push_back(handler.getPlugin(index)->getPluginName().toUTF8());
    return names;
}

inline std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    return names;
}

class CBoxedFixture : public ::testing::Test {
protected:
    CBoxedFixture()
    {
        m_log->setLogLevel(2);
        m_context->setLogManager(m_log);
    }
    // Whatever a test did, no slave, socket or unexpected file is left behind.
    void TearDown() override
    {
        EXPECT_EQ(childProcesses(), std::vector<uint32_t>());
        EXPECT_EQ(filesIn(m_pipes.getPath()), std::vector<std::string>());
    }

    static lumo::P<lumo::CURI> demoURI(const std::string& query)
    {
        return lumo::make<lumo::CURI>(lumo::String::fromUTF8("file:///clips/test.demo?" + query));
    }
    std::vector<std::string> errorFiles() const { return filesIn(m_temp.pathOf("")); }
    void clearErrorFiles() const
    {
        for (const std::string& name : errorFiles())
            std::filesystem::remove(m_temp.pathOf(name));
    }
    std::string logText() const { return m_log->getLogText().toUTF8(); }

    lumo::CScopedPipeFolder m_pipes;
    lumo::CTempFolder m_temp;
    lumo::CScopedEnvironment m_tempEnvironment{lumo::getTemporaryFolderVariable(), m_temp.pathOf("").c_str()};
    lumo::P<common::CLogManager> m_log = lumo::make<common::CLogManager>(lumo::String("masterlog"));
    lumo::P<common::CSimpleNEBContext> m_context = lumo::make<common::CSimpleNEBContext>();
};

} // namespace nebo::test
