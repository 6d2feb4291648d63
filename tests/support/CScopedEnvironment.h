#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace lumo {

// Sets (or, for null, clears) an environment variable for one scope, for the C library's readers and the system's
// alike. The test's own thread only: no other thread may read the environment meanwhile.
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

private:
    // The platform's part.
    static void set(const char* name, const char* value);

    const char* m_name;
    std::optional<std::string> m_previous;
};

// The variable that the platform's temporary folder is taken from first.
const char* getTemporaryFolderVariable();

} // namespace lumo
