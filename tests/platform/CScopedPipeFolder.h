#pragma once

#include "CTempFolder.h"
#include "expectError.h"
#include "support/CScopedEnvironment.h"
#include "support/CScopedPipePlace.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {

// Points the pipe folder at a fresh, not yet existing folder for one scope.
class CScopedPipeFolder {
public:
    const std::string& getPath() const { return m_path; }
    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }
    const CTempFolder& getTemp() const { return m_temp; }

private:
    CTempFolder m_temp;
    std::string m_path = m_temp.pathOf("pipes");
    CScopedEnvironment m_environment{"NEBO_PIPE_DIR", m_path.c_str()};
};

} // namespace lumo
