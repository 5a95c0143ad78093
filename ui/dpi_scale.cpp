#include "ui/dpi_scale.h"

namespace horalis {

int32_t rescaleDpi(int32_t value, uint32_t fromDpi, uint32_t toDpi) {
    const int64_t from = fromDpi == 0 ? kBaseDpi : fromDpi;
    const int64_t to = toDpi == 0 ? kBaseDpi : toDpi;
    const int64_t product = static_cast<int64_t>(value) * to;
    const int64_t half = from / 2;
    const int64_t rounded = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int32_t>(rounded);
}

int32_t scaleToDpi(int32_t value, uint32_t dpi) {
    return rescaleDpi(value, kBaseDpi, dpi);
}

PictureScale pictureScaleFor(uint32_t dpi) {
    if (dpi >= 2 * kBaseDpi) return PictureScale::Percent200;
    if (dpi >= 3 * kBaseDpi / 2) return PictureScale::Percent150;
    return PictureScale::Percent100;
}

}  // namespace horalis
