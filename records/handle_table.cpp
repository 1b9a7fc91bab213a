#include "handle_table.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <unordered_map>

namespace sw {
namespace {

constexpr size_t kMaxAllocation = size_t{1} << 30;

struct Entry {
    BlockInfo info;
    bool allocatedHere = false;
};

class Table {
public:
    Handle add(const BlockInfo& info, bool allocatedHere) {
        std::lock_guard lock(m_mutex);
        if (m_entries.size() >= static_cast<size_t>(std::numeric_limits<Handle>::max() - 1))
            return kNullHandle;
        // Handles count up and wrap past INT32_MAX; a live handle is skipped, so none is reused while live.
        do {
            m_next = m_next == std::numeric_limits<Handle>::max() ? 1 : m_next + 1;
        } while (m_entries.contains(m_next));
        m_entries.emplace(m_next, Entry{info, allocatedHere});
        return m_next;
    }

    // Removes the entry when the owner matches and it was (or was not) allocated here.
    bool remove(Handle h, Owner owner, bool allocatedHere, BlockInfo* removed) {
        std::lock_guard lock(m_mutex);
        auto it = m_entries.find(h);
        if (it == m_entries.end() || it->second.info.owner != owner ||
            it->second.allocatedHere != allocatedHere)
            return false;
        if (removed) *removed = it->second.info;
        m_entries.erase(it);
        return true;
    }

    bool lookup(Handle h, BlockInfo* info) {
        if (h == kNullHandle) return false;
        std::lock_guard lock(m_mutex);
        auto it = m_entries.find(h);
        if (it == m_entries.end()) return false;
        if (info) *info = it->second.info;
        return true;
    }

    size_t size() {
        std::lock_guard lock(m_mutex);
        return m_entries.size();
    }

private:
    std::mutex m_mutex;
    std::unordered_map<Handle, Entry> m_entries;
    Handle m_next = 0;
};

Table& table() {
    static Table* t = new Table;  // never destroyed: modules may release blocks during static destruction
    return *t;
}

template <typename T>
T* resolveArray(Handle handle, BlockKind kind, int64_t count) noexcept {
    if (count < 0 || static_cast<uint64_t>(count) > kMaxAllocation / sizeof(T)) return nullptr;
    BlockInfo info;
    if (!table().lookup(handle, &info) || info.kind != kind) return nullptr;
    if (info.bytes < static_cast<size_t>(count) * sizeof(T)) return nullptr;
    return static_cast<T*>(info.address);
}

}  // namespace

Handle registerBlock(void* address, size_t bytes, Owner owner, BlockKind kind) noexcept {
    if (!address) return kNullHandle;
    try {
        return table().add(BlockInfo{address, bytes, owner, kind}, false);
    } catch (...) {
        return kNullHandle;
    }
}

bool unregisterBlock(Handle handle, Owner owner) noexcept {
    return table().remove(handle, owner, false, nullptr);
}

bool lookupBlock(Handle handle, BlockInfo* info) noexcept { return table().lookup(handle, info); }

void* resolve(Handle handle, BlockKind kind, size_t minBytes) noexcept {
    BlockInfo info;
    if (!table().lookup(handle, &info) || info.kind != kind || info.bytes < minBytes) return nullptr;
    return info.address;
}

VeilPoint* resolveStrokeData(Handle handle, int64_t count) noexcept {
    return resolveArray<VeilPoint>(handle, BlockKind::StrokeData, count);
}

PTW* resolvePtw(Handle handle) noexcept { return resolveArray<PTW>(handle, BlockKind::Ptw, 1); }

PtwPoint* resolvePtwPoints(Handle handle, int64_t count) noexcept {
    return resolveArray<PtwPoint>(handle, BlockKind::PtwPoints, count);
}

int64_t blockElementCount(Handle handle, BlockKind kind, size_t elementSize) noexcept {
    BlockInfo info;
    if (elementSize == 0 || !table().lookup(handle, &info) || info.kind != kind) return -1;
    return static_cast<int64_t>(info.bytes / elementSize);
}

Handle allocateBlock(Owner owner, BlockKind kind, size_t elementSize, int64_t count,
                     void** address) noexcept {
    if (address) *address = nullptr;
    if (count < 0 || elementSize == 0 || static_cast<uint64_t>(count) > kMaxAllocation / elementSize)
        return kNullHandle;
    const size_t bytes = static_cast<size_t>(count) * elementSize;
    void* p = std::calloc(bytes == 0 ? 1 : bytes, 1);  // an empty block still has an address
    if (!p) return kNullHandle;
    Handle h = kNullHandle;
    try {
        h = table().add(BlockInfo{p, bytes, owner, kind}, true);
    } catch (...) {
    }
    if (h == kNullHandle) {
        std::free(p);
        return kNullHandle;
    }
    if (address) *address = p;
    return h;
}

bool freeBlock(Handle handle, Owner owner) noexcept {
    BlockInfo info;
    if (!table().remove(handle, owner, true, &info)) return false;
    std::free(info.address);
    return true;
}

PtwAllocation allocatePtw(Owner owner, int64_t pointNum) noexcept {
    if (pointNum < 0 || pointNum > std::numeric_limits<int32_t>::max()) return {};
    void* arrayAddress = nullptr;
    Handle array = allocateBlock(owner, BlockKind::PtwPoints, sizeof(PtwPoint), pointNum, &arrayAddress);
    if (!array) return {};
    void* recordAddress = nullptr;
    Handle record = allocateBlock(owner, BlockKind::Ptw, sizeof(PTW), 1, &recordAddress);
    if (!record) {
        freeBlock(array, owner);
        return {};
    }
    auto* ptw = static_cast<PTW*>(recordAddress);
    ptw->Points = array;
    ptw->PointNum = static_cast<int32_t>(pointNum);
    return {record, ptw, static_cast<PtwPoint*>(arrayAddress)};
}

bool freePtw(Handle ptw, Owner owner) noexcept {
    BlockInfo recordInfo;
    if (!table().lookup(ptw, &recordInfo) || recordInfo.kind != BlockKind::Ptw || recordInfo.owner != owner ||
        recordInfo.bytes < sizeof(PTW))
        return false;
    const Handle array = static_cast<const PTW*>(recordInfo.address)->Points;
    if (array != kNullHandle) {
        BlockInfo arrayInfo;
        if (!table().lookup(array, &arrayInfo) || arrayInfo.kind != BlockKind::PtwPoints ||
            arrayInfo.owner != owner)
            return false;
        freeBlock(array, owner);
    }
    return freeBlock(ptw, owner);
}

bool ptwPoints(Handle ptw, std::span<const PtwPoint>* points) noexcept {
    const PTW* record = resolvePtw(ptw);
    if (!record || record->PointNum < 0) return false;
    if (record->PointNum == 0) {
        if (points) *points = {};
        return true;
    }
    const PtwPoint* array = resolvePtwPoints(record->Points, record->PointNum);
    if (!array) return false;
    if (points) *points = {array, static_cast<size_t>(record->PointNum)};
    return true;
}

size_t liveBlockCount() noexcept { return table().size(); }

}  // namespace sw
