#include "platform/prepareHeap.h"

namespace lumo {

// The C runtime gives large blocks their own virtual memory and returns it
// on freeing, so no touched memory would be kept for the blocks to come.
bool prepareHeap(int64_t) { return false; }

} // namespace lumo
