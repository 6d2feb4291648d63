#pragma once

#include "support/CScopedPipePlace.h"
#include "CTempFolder.h"
#include "expectError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace lumo {

// Sets (or, for null, clears) an environment variable for one scope.
class CScopedEnvironment {
public:
    CScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~CScopedEnvironment()
    {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

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
