#include "tracking/pointer_table.h"

namespace horalis {

PointerTableArray& PointerTable() {
    static PointerTableArray table = {{
        {32650, u"Standard arrow and small hourglass", 0, 0},
        {32512, u"Standard arrow", 0, 0},
        {32515, u"Crosshair", 0, 0},
        {32649, u"Hand", 0, 0},
        {32651, u"Arrow and question mark", 0, 0},
        {32513, u"I-beam", 0, 0},
        {32648, u"Slashed circle", 0, 0},
        {32646, u"Four-pointed arrow pointing north, south, east, and west", 0, 0},
        {32643, u"Double-pointed arrow pointing northeast and southwest", 0, 0},
        {32645, u"Double-pointed arrow pointing north and south", 0, 0},
        {32642, u"Double-pointed arrow pointing northwest and southeast", 0, 0},
        {32644, u"Double-pointed arrow pointing west and east", 0, 0},
        {32516, u"Vertical arrow", 0, 0},
        {32514, u"Hourglass", 0, 0},
    }};
    return table;
}

void countPointerSample(const CursorState& cursor) {
    if (!cursor.ok || cursor.flags != kCursorShowing || cursor.handle == 0) return;
    // Every matching entry counts: two entries may share one shared handle.
    for (auto& entry : PointerTable()) {
        if (entry.handle == cursor.handle) ++entry.sampleCount;
    }
}

void resetPointerCounts() {
    for (auto& entry : PointerTable()) entry.sampleCount = 0;
}

}  // namespace horalis
