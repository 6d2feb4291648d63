#pragma once

#include "foundation/CURI.h"
#include "platform/IPathes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace lumo {

// A fresh folder for one test's files, removed with everything in it.
class CTempFolder {
public:
    CTempFolder()
    {
        std::random_device random;
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        for (int tries = 0; tries < 100 && !error; ++tries) {
            const std::filesystem::path candidate = base / ("lumo-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) {
                m_path = candidate.string();
                return;
            }
        }
        ADD_FAILURE() << "cannot create a folder in " << base << ": " << error.message();
    }
    ~CTempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }

    // "/" separates names on every platform.
    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }
    P<IURI> uriOf(const std::string& name) const
    {
        return getPathes()->getURIOfNativePath(String::fromUTF8(pathOf(name)));
    }
    void put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(pathOf(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const
    {
        std::ifstream file(pathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

private:
    std::string m_path;
};

} // namespace lumo
