#pragma once
// A colour picture turned back into a mosaic: each element takes, from the pixel at its place,
// the component of the colour its site has in the chosen arrangement. The bitmap import and the
// upload both sample this way, so that the mosaic the sensor gets is laid out in the
// arrangement the sensor reads it with.

#include "image/ImageState.h"

namespace kel {

// Samples picture (bitmap order: bottom row first; blue, green, red per pixel; 3 x columns by
// rows) into mosaic (columns by rows, recreated), laid out in arrangement phase. Row 0 of the
// mosaic is the top row of the picture.
void sampleMosaic(const ByteGrid& picture, quint8 phase, ByteGrid& mosaic);

// Whether two arrangement numbers put the colours on the same sites (3 and above all act as 3).
bool sameArrangement(quint8 first, quint8 second);

// Makes UploadImage's mosaic one of arrangement phase. The mosaic is in CurrentImage's
// arrangement; when that is another, the mosaic is sampled again from the colour picture that
// was shown (BitmapPixels: the bitmap opened, or the conversion of the image), and
// CurrentImage's arrangement becomes phase, so that its header goes on describing the mosaic.
// False, with nothing changed, when another layout is needed and BitmapPixels is no colour
// picture of the mosaic's extent.
bool layOutMosaicIn(ImageState& state, quint8 phase);

} // namespace kel
