#pragma once
// The sensor's colour gains: a gain g (0 to 255) is the factor 1 + g / 100, computed in
// double precision and kept as a 32-bit float. Applying a factor multiplies in float,
// saturates at 255 and rounds exact halves to the even integer; removing one divides in double
// precision and rounds the same way. Both depend only on the byte value and the factor, so
// they are done through 256-entry tables.

#include "image/ImageState.h"

#include <array>

namespace kel {

using ByteTable = std::array<quint8, 256>;

float gainFactor(quint8 gain);

// Entry v: v * k as a float, 255 when above 255, otherwise rounded half to even.
ByteTable applyGainTable(float k);
// Entry v: v / k in double precision, rounded half to even.
ByteTable removeGainTable(float k);

// Builds Pixels of UploadImage (the extent of CurrentImage's Pixels) by applying
// CurrentImage's gains at the sites of its arrangement. The other fields of UploadImage stay.
// False when CurrentImage holds no pixels.
bool fncApplyGains(ImageState& state);

// The inverse: rebuilds Pixels of CurrentImage (the extent of UploadImage's Pixels) by dividing
// by UploadImage's gains at the sites of its arrangement. The header of CurrentImage stays.
// False, with nothing changed, when UploadImage holds no pixels (nothing converted or imported
// yet).
bool fncRemoveGains(ImageState& state);

} // namespace kel
