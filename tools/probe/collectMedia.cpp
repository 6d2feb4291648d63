#include "tools/probe/collectMedia.h"

#include "tools/probe/CUsageError.h"

#include <algorithm>
#include <filesystem>

namespace nebo::probe {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void refuse(const std::string& message) { throw CUsageError(lumo::String::fromUTF8(message)); }

std::vector<std::string> listFilesBelow(const std::string& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        refuse("--recursive wants a folder, and \"" + folder + "\" is none");
    std::vector<std::string> files;
    fs::recursive_directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && entry != end; entry.increment(error)) {
        std::error_code typeError;
        if (entry->is_regular_file(typeError))
            files.push_back(entry->path().string());
    }
    if (error)
        refuse("cannot list the folder \"" + folder + "\": " + error.message());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

std::vector<std::string> collectMedia(const std::vector<SMediumArgument>& arguments)
{
    std::vector<std::string> media;
    for (const SMediumArgument& argument : arguments) {
        if (!argument.bFolder) {
            media.push_back(argument.text);
            continue;
        }
        const std::vector<std::string> files = listFilesBelow(argument.text);
        media.insert(media.end(), files.begin(), files.end());
    }
    if (media.empty())
        refuse("no medium given: the folders named hold no files");
    return media;
}

} // namespace nebo::probe
