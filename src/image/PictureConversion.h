#pragma once
// Raw image to picture: the colour demosaic and the grey copy. Both read Pixels of
// CurrentImage (its own extent, not the Width and Height fields) and recreate BitmapPixels in
// bitmap order, bottom row first, so raw row 0 becomes the top of the picture.

#include "image/ImageState.h"

namespace kel {

// Bilinear demosaic with the image's gains: every element keeps its own colour and takes the
// two others as integer means of the same-colour neighbours that lie inside the image, then
// each channel goes through its gain (float, saturated at 255, halves to even). Stores blue,
// green, red per pixel. An image narrower or lower than 2 elements has colours with no
// neighbour at all; those channels are 0. Always true.
bool fncColorConvert(ImageState& state);

// Each raw value becomes the grey level of the same pixel, unchanged. Always true.
bool fncMonoConvert(ImageState& state);

// Where a converted raw row lands: bitmap order (raw row 0 in the last row) or picture order.
enum class RowOrder { BottomUp, TopDown };

// The same conversions for raw rows firstRow to endRow - 1 of image only, into out, which has
// the picture's extent (3 x or 1 x the raw columns, as many rows as the raw image). A row
// comes out as the whole conversion makes it once its neighbours above and below hold their
// values; the others of out are not touched.
void convertColourRows(const SensorImage& image, int firstRow, int endRow, ByteGrid& out,
                       RowOrder order);
void convertGreyRows(const SensorImage& image, int firstRow, int endRow, ByteGrid& out,
                     RowOrder order);

} // namespace kel
