#pragma once
// Bitmap files: the picture of a conversion written as "tmp.bmp" (24-bit colour, or 8-bit grey
// with a grey palette; 100 pixels per metre, rows bottom-up, each padded to a multiple of 4
// bytes), 24-bit bitmaps read back for turning into a sensor mosaic and 8-bit grey ones for
// viewing.

#include "core/AppCore.h"
#include "image/FileProblem.h"
#include "image/ImageState.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace kel {

constexpr int kGreyPaletteSize = 256 * 4;
constexpr int kPixelsPerMetre = 100;

// The bitmap file of BitmapPixels at BitmapWidth x BitmapHeight, filling BitmapHeader (and
// GreyPalette for a grey picture) on the way. Empty when the size is not positive, does not
// match BitmapPixels or gives a file of 2 GiB or more.
QByteArray bitmapFileBytes(ImageState& state, ImageKind kind);

// fncWriteBmpFile: writes the picture as "tmp.bmp" in the working folder workDir, replacing the
// whole file. The file's full path, or "" on any failure (no message: the caller reports it).
QString fncWriteBmpFile(const QString& workDir, ImageState& state, ImageKind kind);

// Reads a bitmap into BitmapHeader, BitmapWidth, BitmapHeight and BitmapPixels: 3 x W x H
// bytes in file order (bottom row first, blue, green, red), without row padding, from the
// header's pixel offset, or right after the 54 header bytes where the offset points into them.
// An uncompressed 8-bit bitmap whose colour table holds greys only is read as grey levels, one
// byte a pixel (rows padded to four bytes in the file). A bitmap of another depth or colours
// is read for its header only: the checks that follow refuse it.
// A width or height that is 0, negative or more than the file holds is a failure, with what
// is wrong in problem and the state unchanged.
bool readBitmap(QIODevice& in, ImageState& state, FileProblem& problem);

// fncReadBmpFile: readBitmap on the file at path; a failure shows the critical box naming the
// file and what is wrong with it, and gives false.
bool fncReadBmpFile(AppCore& core, ImageState& state, const QString& path);

// Whether the bitmap just read is one the sensor can take: 24 bits per pixel, 508 wide and 432,
// 216 or 108 high.
bool isSensorBitmap(const ImageState& state);

// Whether the bitmap just read is a grey picture of the sensor's sizes: 8 bits per pixel, grey
// levels read, 508 wide and 432, 216 or 108 high. It can be shown and saved, not loaded into the
// sensor.
bool isGreySensorBitmap(const ImageState& state);

// fncBmpToMosaic: samples the bitmap just read into UploadImage as a mosaic of arrangement 3
// (blue at even column and row, red at odd column and row), gains 0, Width and Height the
// bitmap's; the model name and trailer stay. Row 0 of the mosaic is the top of the picture. A
// size that does not fit 16 bits or does not match BitmapPixels shows the critical box and
// gives false.
bool fncBmpToMosaic(AppCore& core, ImageState& state);

} // namespace kel
