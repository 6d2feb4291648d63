#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace lumo {

// Sets (or, for null, clears) an environment variable for one scope, where
// both this process's C library and the programs it starts see it. One
// thread at a time: the environment is the process's.
class CScopedEnvironment {
public:
    CScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        set(name, value);
    }
    ~CScopedEnvironment() { set(m_name, m_previous ? m_previous->c_str() : nullptr); }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

    // The variable that names the folder for temporary files.
    static const char* getTempFolderVariable();

private:
    // Each backend sets the variable its own way.
    static void set(const char* name, const char* value);

    const char* m_name;
    std::optional<std::string> m_previous;
};

} // namespace lumo
