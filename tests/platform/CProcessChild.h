#pragma once

#include "CTempFolder.h"
#include "foundation/CURI.h"
#include "platform/CProcessOptions.h"
#include "platform/IPathes.h"
#include "platform/IProcessFactory.h"
#include "platform/fileNameSuffixes.h"
#include "support/binFolder.h"
#include "waitForEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumo {

// A copy of the process tests' child program (processChild/) in a fresh folder whose name has blanks,
// started through the platform's factory; what it reports lands beside it. The folder goes with the object.
class CProcessChild {
public:
    CProcessChild()
    {
        const std::string program = std::string("nebo_process_child") + getProgramSuffix();
        std::filesystem::create_directories(m_program.parent_path());
        std::filesystem::copy_file(nebo::test::binFolder() / "platform-tests" / program, m_program);
    }
    CProcessChild(const CProcessChild&) = delete;
    CProcessChild& operator=(const CProcessChild&) = delete;

    const std::filesystem::path& getProgramPath() const { return m_program; }
    // A new folder beside the program's.
    std::filesystem::path makeFolder(const std::string& name) const
    {
        std::filesystem::create_directory(m_folder / name);
        return m_folder / name;
    }

    P<IProcess> start(const std::string& arguments, CProcessOptions* options = nullptr,
                      const std::filesystem::path& workingDirectory = {},
                      int32_t priority = IProcess::priorityNormal) const
    {
        const P<IURI> folder = workingDirectory.empty() ? nullptr : uriOf(workingDirectory);
        return createPlatformProcessFactory()->createProcess(uriOf(m_program), String::fromUTF8(arguments),
                                                             PFrail<IURI>(folder.get(), true),
                                                             PFrail<IBase>(options, true), priority);
    }

    // The lines of the "report" command: the folder it ran in, its path, its words, "--", its environment.
    std::vector<std::string> getReport() const
    {
        std::vector<std::string> lines;
        std::ifstream text(m_folder / "with blanks" / "report.txt", std::ios::binary);
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    static P<IURI> uriOf(const std::filesystem::path& path)
    {
        return getPathes()->getURIOfNativePath(String::fromUTF8(path.u8string()));
    }

private:
    CTempFolder m_temp;
    // Without the trailing "/", so that the names below join with the system's separator.
    std::filesystem::path m_folder = std::filesystem::path(m_temp.pathOf("")).parent_path();
    std::filesystem::path m_program = m_folder / "with blanks" / ("process child" + std::string(getProgramSuffix()));
};

} // namespace lumo
