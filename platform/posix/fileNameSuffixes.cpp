#include "platform/fileNameSuffixes.h"

namespace lumo {

const char* getModuleSuffix() { return ".so"; }

const char* getProgramSuffix() { return ""; }

} // namespace lumo
