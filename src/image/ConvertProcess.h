#pragma once
// The conversion pipeline: raw image file in, "tmp.bmp" of the working folder out.

#include "core/AppCore.h"
#include "image/ImageState.h"

#include <QString>

namespace kel {

// fncConvertProcess: reads the raw image file folder/fileName with the Width and Height that
// CurrentImage already holds, builds the gain-applied mosaic in UploadImage, converts to the
// picture of kind and writes "tmp.bmp" into the working folder of core. Returns the bitmap's
// path, or "" on every failure. Only a missing raw file is reported here (message 12); the
// caller reports an empty result.
QString fncConvertProcess(AppCore& core, ImageState& state, ImageKind kind, const QString& folder,
                          const QString& fileName);

// fncSelectConversion: the colour or the grey conversion, then the bitmap writer; returns the
// writer's result.
QString fncSelectConversion(const AppPaths& paths, ImageState& state, ImageKind kind);

} // namespace kel
