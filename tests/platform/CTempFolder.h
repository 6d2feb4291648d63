#pragma once

#include "foundation/CURI.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace lumo {

// A fresh folder for one test's files, removed with everything in it.
class CTempFolder {
public:
    CTempFolder() : m_path(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/lumo-XXXXXX")
    {
        if (!mkdtemp(m_path.data()))
            ADD_FAILURE() << "cannot create " << m_path;
    }
    ~CTempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }

    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }
    P<IURI> uriOf(const std::string& name) const { return CURI::fromNativePath(String::fromUTF8(pathOf(name))); }
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
