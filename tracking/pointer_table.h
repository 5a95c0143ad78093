#pragma once
// Time per standard system pointer shape: 14 fixed entries, counted once per
// present tick for every entry whose handle equals the pointer showing.
#include <array>
#include <cstdint>

#include "tracking/sampling_tick.h"

namespace horalis {

struct PointerRecord {
    int32_t pointerId;
    const char16_t* displayName;
    CursorRef handle;
    uint32_t sampleCount;
};

inline constexpr size_t kPointerCount = 14;
using PointerTableArray = std::array<PointerRecord, kPointerCount>;

// The program-wide table, in display order.
PointerTableArray& PointerTable();

// Stores each entry's shared system handle; loader(pointerId) returns 0 on failure.
template <class Loader>
void loadPointerHandles(Loader loader) {
    for (auto& entry : PointerTable()) entry.handle = loader(entry.pointerId);
}
// Counts one sample for every entry matching a pointer that shows (flags exactly 1).
void countPointerSample(const CursorState& cursor);
void resetPointerCounts();

}  // namespace horalis
