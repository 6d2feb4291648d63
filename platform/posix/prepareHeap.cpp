#include "platform/prepareHeap.h"

#include <cstdlib>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace lumo {

namespace {

// Blocks below this come from the heap, and so does each touched piece.
// The allocator refuses thresholds above 32 MB.
constexpr int64_t heapBlockBytes = int64_t{32} << 20;
constexpr int64_t pieceBytes = int64_t{4} << 20;

// Turns the allocator into one that keeps what it is given: one arena, so
// that the decoder's threads allocate from the memory touched here instead
// of from arenas of their own; blocks up to heapBlockBytes from the heap
// instead of maps of their own, which freeing would give back; and no
// trimming of freed memory at the heap's top.
bool keepFreedMemory()
{
    return ::mallopt(M_ARENA_MAX, 1) == 1 && ::mallopt(M_MMAP_THRESHOLD, int(heapBlockBytes)) == 1 &&
           ::mallopt(M_TRIM_THRESHOLD, int(maxPreparedHeapBytes)) == 1;
}

void touchPages(void* block, int64_t bytes, int64_t pageBytes)
{
    // Volatile, so that the writes into memory about to be freed stay.
    auto* const first = static_cast<volatile char*>(block);
    for (int64_t offset = 0; offset < bytes; offset += pageBytes)
        first[offset] = 0;
}

} // namespace

bool prepareHeap(int64_t bytes)
{
    if (bytes < 1 || bytes > maxPreparedHeapBytes || !keepFreedMemory())
        return false;
    const int64_t pageBytes = ::sysconf(_SC_PAGESIZE);
    // Pieces held together, so that each extends the heap instead of taking
    // the last one's place; freed, they join the heap's top.
    std::vector<void*> pieces;
    bool bGranted = true;
    for (int64_t done = 0; done < bytes && bGranted; done += pieceBytes) {
        void* const piece = std::malloc(size_t(pieceBytes));
        bGranted = piece != nullptr;
        if (bGranted) {
            touchPages(piece, pieceBytes, pageBytes);
            pieces.push_back(piece);
        }
    }
    for (void* piece : pieces)
        std::free(piece);
    return bGranted;
}

} // namespace lumo
