#pragma once

// A master's surroundings for boxed plugins: pipes and error files in folders of the test's own, a context that logs,
// and the real nebo_slave and nebo_demo beside the test program.
#include "foundation/CException.h"
#include "host/CPluginHandler.h"
#include "host/common/CLogManager.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CSlaveLaunchers.h"
#include "host/plugin/IPluginExtensions.h"
#include "platform/CScopedPipeFolder.h"
#include "support/slaveProcesses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace nebo::test {

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
    // No slave, socket or unexpected file outlives the launchers, which a master lets go when it ends.
    void TearDown() override
    {
        common::CSlaveLaunchers::get()->endAll();
        EXPECT_EQ(slaveProcesses(), std::vector<uint32_t>());
        EXPECT_EQ(filesIn(m_pipes.getPath()), std::vector<std::string>());
    }

    static lumo::P<lumo::CURI> demoURI(const std::string& query)
    {
        return lumo::make<lumo::CURI>(lumo::String::fromUTF8("file:///clips/test.demo?" + query));
    }
    // The files slaves left in the temporary folder (a launcher's children in its folder there), as paths
    // within it, but for the launchers' own and the empty ones kept for the next slaves.
    std::vector<std::string> errorFiles() const
    {
        std::vector<std::filesystem::path> kept;
        for (const std::string& path : nebo::common::CSlaveLaunchers::get()->getKeptErrorFiles())
            kept.push_back(std::filesystem::weakly_canonical(path));
        std::vector<std::string> paths;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_temp.pathOf("")))
            if (entry.is_regular_file() && entry.path().filename().string().rfind("nebo_launcher_", 0) != 0 &&
                std::find(kept.begin(), kept.end(), std::filesystem::weakly_canonical(entry.path())) == kept.end())
                paths.push_back(std::filesystem::relative(entry.path(), m_temp.pathOf("")).generic_string());
        return paths;
    }
    // The slave's last words: the one error file's text; empty unless there is one.
    std::string errorFileText() const
    {
        const std::vector<std::string> files = errorFiles();
        return files.size() == 1 ? m_temp.get(files.front()) : std::string();
    }
    void clearErrorFiles() const
    {
        for (const std::string& name : errorFiles())
            std::filesystem::remove(m_temp.pathOf(name));
    }
    std::string logText() const { return m_log->getLogText().toUTF8(); }
    // The default limits but for the time a slave has to answer and the restarts a source may make.
    void setLimits(int32_t timeoutMs, int32_t maxRestarts = 0)
    {
        common::SSlaveLimits limits;
        limits.timeoutMs = timeoutMs;
        limits.maxRestartsPerSource = maxRestarts;
        m_context->setSlaveLimits(limits);
    }

    lumo::CScopedPipeFolder m_pipes;
    lumo::CTempFolder m_temp;
    lumo::CScopedEnvironment m_tempEnvironment{lumo::getTemporaryFolderVariable(), m_temp.pathOf("").c_str()};
    lumo::P<common::CLogManager> m_log = lumo::make<common::CLogManager>(lumo::String("masterlog"));
    lumo::P<common::CSimpleNEBContext> m_context = lumo::make<common::CSimpleNEBContext>();
};

} // namespace nebo::test
