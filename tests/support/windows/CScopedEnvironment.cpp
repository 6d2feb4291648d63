#include "support/CScopedEnvironment.h"

namespace lumo {

// The C library passes the change on to the system's own copy, which
// GetEnvironmentVariableW and new processes read; an empty value clears.
void CScopedEnvironment::set(const char* name, const char* value) { _putenv_s(name, value ? value : ""); }

// GetTempPathW looks at TMP before TEMP.
const char* getTemporaryFolderVariable() { return "TMP"; }

} // namespace lumo
