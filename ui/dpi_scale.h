#pragma once
// Pixel sizes at a window's DPI. Every size the program sets in code (list
// columns, row icons, button pictures, layout margins) is the one for 96 DPI,
// where it stays exact, and is scaled from there.
#include <cstdint>

namespace horalis {

inline constexpr uint32_t kBaseDpi = 96;

// value x dpi / 96, rounded half away from zero as MulDiv rounds. A dpi of 0
// (not known) counts as 96.
int32_t scaleToDpi(int32_t value, uint32_t dpi);

// A size that was right at fromDpi, for toDpi: a column the user has widened
// keeps its share when the window moves to a monitor of another DPI.
int32_t rescaleDpi(int32_t value, uint32_t fromDpi, uint32_t toDpi);

// The pictures are drawn at 100 %, 150 % and 200 %. The one used is the
// largest not larger than the scaled size, so it never outgrows the room laid
// out for it (125 % uses the 100 % drawing, 175 % the 150 % one).
enum class PictureScale : uint8_t { Percent100, Percent150, Percent200 };
PictureScale pictureScaleFor(uint32_t dpi);

}  // namespace horalis
