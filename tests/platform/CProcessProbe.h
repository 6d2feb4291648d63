#pragma once

#include "CTempFolder.h"
#include "waitForEnd.h"

#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace lumo {

// A script in a folder whose name has blanks; when run, it writes its
// current folder, its own path and its arguments, one a line, next to
// itself, and ends with the number of its arguments as exit code.
class CProcessProbe {
public:
    CProcessProbe()
    {
        std::filesystem::create_directory(m_folder.pathOf("with blanks"));
        m_folder.put("with blanks/print args.sh",
                     "#!/bin/sh\n"
                     "{ pwd; printf '%s\\n' \"$0\" \"$@\"; } > \"$(dirname \"$0\")/out.txt\"\n"
                     "exit $#\n");
        chmod(getScriptPath().c_str(), 0755);
    }

    std::string getScriptPath() const { return m_folder.pathOf("with blanks/print args.sh"); }
    std::string getFolderPath(const std::string& name) const
    {
        std::filesystem::create_directory(m_folder.pathOf(name));
        return m_folder.pathOf(name);
    }

    // The lines the script wrote: its folder, its path, then its arguments.
    std::vector<std::string> getOutput() const
    {
        std::vector<std::string> lines;
        std::istringstream text(m_folder.get("with blanks/out.txt"));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

private:
    CTempFolder m_folder;
};

} // namespace lumo
