#include "platform/pathListSeparator.h"

namespace lumo {

char getPathListSeparator() { return ';'; }

} // namespace lumo
