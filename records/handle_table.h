// The process-wide handle table.
//
// Addresses are 64-bit here, but every address that crosses a dispatch interface or the engine's C ABI is a
// 32-bit handle. A handle maps to one block: (address, size in bytes, owning component, kind). 0 is the null
// handle; live handles are never reused, and a released handle resolves to nothing.
//
// The table lives in the shared library slatewise_records, so every module loaded into the process sees the
// same table. All functions are thread-safe and noexcept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "records.h"

namespace sw {

using Handle = int32_t;
inline constexpr Handle kNullHandle = 0;

// The component that allocated a block; only that component may release it.
enum class Owner : uint8_t {
    Veil = 1,
    Veiladd,
    Penmate,
    Quillbox,
    Engine,
    Board,
    Test,
};

enum class BlockKind : uint8_t {
    StrokeData = 1,  // VeilPoint array
    Ptw,             // one PTW record
    PtwPoints,       // PtwPoint array of a PTW
    Other,
};

struct BlockInfo {
    void* address = nullptr;
    size_t bytes = 0;
    Owner owner = Owner::Test;
    BlockKind kind = BlockKind::Other;
};

// Registers a block the caller owns and keeps alive until unregisterBlock. Returns 0 when the table is full
// or address is null.
Handle registerBlock(void* address, size_t bytes, Owner owner, BlockKind kind) noexcept;

// Removes a registered block. Returns false (and changes nothing) for an unknown handle or another owner.
// The memory itself is the caller's to free.
bool unregisterBlock(Handle handle, Owner owner) noexcept;

// Looks a handle up. Returns false for 0, an unknown or released handle.
bool lookupBlock(Handle handle, BlockInfo* info) noexcept;

// The address of a live block of the expected kind holding at least minBytes; null otherwise.
void* resolve(Handle handle, BlockKind kind, size_t minBytes) noexcept;

// Typed views, null when the handle does not hold `count` elements of that kind (count < 0 is refused).
VeilPoint* resolveStrokeData(Handle handle, int64_t count) noexcept;
PTW* resolvePtw(Handle handle) noexcept;
PtwPoint* resolvePtwPoints(Handle handle, int64_t count) noexcept;

// Number of whole elements of elementSize the block holds; -1 for a bad handle or another kind.
int64_t blockElementCount(Handle handle, BlockKind kind, size_t elementSize) noexcept;

// --- Allocation helpers: blocks from a component's own heap, registered in one step. ---

// Allocates `count` zero-initialised elements of elementSize bytes and registers them. A count of 0 gives a
// valid, empty block. Returns 0 for a negative count, a size over 1 GiB or exhausted memory; *address (when
// given) receives the memory.
Handle allocateBlock(Owner owner, BlockKind kind, size_t elementSize, int64_t count, void** address) noexcept;

// Frees a block made by allocateBlock. Returns false for an unknown handle, another owner, or a block that
// was registered with registerBlock (the table never frees memory it did not allocate).
bool freeBlock(Handle handle, Owner owner) noexcept;

template <typename T>
struct Allocation {
    Handle handle = kNullHandle;
    T* data = nullptr;
    explicit operator bool() const noexcept { return handle != kNullHandle; }
};

inline Allocation<VeilPoint> allocateStrokeData(Owner owner, int64_t count) noexcept {
    void* p = nullptr;
    Handle h = allocateBlock(owner, BlockKind::StrokeData, sizeof(VeilPoint), count, &p);
    return {h, static_cast<VeilPoint*>(p)};
}

// A PTW with its point array: two blocks, the record's Points holding the array's handle.
struct PtwAllocation {
    Handle handle = kNullHandle;  // of the PTW record
    PTW* record = nullptr;
    PtwPoint* points = nullptr;
    explicit operator bool() const noexcept { return handle != kNullHandle; }
};

// Allocates a PTW record and an array of pointNum points (both zeroed; PointNum set). pointNum 0 still gives
// an array block, so Points is never 0 for a record made here. Returns an empty allocation on failure.
PtwAllocation allocatePtw(Owner owner, int64_t pointNum) noexcept;

// Frees a PTW made by allocatePtw together with its point array. Returns false (freeing nothing) when the
// record or its array is unknown or belongs to another owner.
bool freePtw(Handle ptw, Owner owner) noexcept;

// The points of a PTW, checked: null when the record or its array is bad or shorter than PointNum.
// A record with PointNum 0 yields an empty span (its Points may be 0).
bool ptwPoints(Handle ptw, std::span<const PtwPoint>* points) noexcept;

// Number of live blocks, for leak checks in tests.
size_t liveBlockCount() noexcept;

}  // namespace sw
