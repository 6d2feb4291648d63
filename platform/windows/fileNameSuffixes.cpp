#include "platform/fileNameSuffixes.h"

namespace lumo {

const char* getModuleSuffix() { return ".dll"; }

const char* getProgramSuffix() { return ".exe"; }

} // namespace lumo
