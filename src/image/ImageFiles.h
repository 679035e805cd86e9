#pragma once
// The raw image files and their procedures:
//   raw image file ("tmp.bin"): W x H pixel bytes, rows from the top, then 2 trailer bytes;
//   sensor image file (".KEL"): 16 header bytes (model name 8, arrangement, red, green and blue
//     gain 1 each, width and height 2 each, signed, little-endian), W x H pixel bytes, the 2
//     trailer bytes;
//   upload file ("tmp_2.bin", or "tmp.bin" after a sensor image file was opened): W x 480 bytes,
//     rows the image lacks are zero, rows beyond 480 are dropped.
//
// Readers check the sizes they are given against the file before they allocate: a width or
// height of 0 or less, or more pixel bytes than the file holds, is a failure. Two trailer bytes
// that are missing read as zero. A failed read leaves the state as it was.

#include "core/AppCore.h"
#include "image/FileProblem.h"
#include "image/ImageState.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace kel {

constexpr int kKelHeaderSize = 16;
constexpr int kTrailerSize = 2;

// Reads a raw image file of CurrentImage's Width x Height into CurrentImage's Pixels and
// Trailer and sets BitmapWidth and BitmapHeight. False with what is wrong in problem.
bool readRawImage(QIODevice& in, ImageState& state, FileProblem& problem);

// Reads a sensor image file into CurrentImage and sets BitmapWidth and BitmapHeight. False with
// what is wrong in problem.
bool readKelImage(QIODevice& in, ImageState& state, FileProblem& problem);

// The sensor image file of image: exactly 16 + Width x Height + 2 bytes. Pixels outside the
// extent of Pixels are written as zero. Empty, with a description, when Width or Height is not
// positive.
QByteArray kelFileBytes(const SensorImage& image, QString& failure);

// fncReadTmpBinFile: reads path as a raw image file (see readRawImage). False on any failure,
// without a message: the caller decides what to tell.
bool fncReadTmpBinFile(ImageState& state, const QString& path);

// fncReadFile_KEL: reads the sensor image file at path into CurrentImage. A failure shows the
// critical box naming the file and what is wrong with it, and gives false.
bool fncReadFile_KEL(AppCore& core, ImageState& state, const QString& path);

// fncWriteFile_KEL: writes CurrentImage as the sensor image file at path, replacing the whole
// file. A failure shows the critical box with its description and gives false.
bool fncWriteFile_KEL(AppCore& core, const ImageState& state, const QString& path);

// fncMakeTmpBinFile: deletes path, resizes Pixels of CurrentImage in place to Width x 480 rows
// (Height stays) and writes them as the upload file at path. The extent of Pixels must be
// Width columns. A failure shows the critical box with its description and gives false; no
// file is left at path then.
bool fncMakeTmpBinFile(AppCore& core, ImageState& state, const QString& path);

} // namespace kel
