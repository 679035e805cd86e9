#pragma once
// The conversion pipeline: raw image file in, "tmp.bmp" of the working folder out. The working
// folder is always the caller's: the window's, a batch run's or a tool's own, so that one
// conversion never replaces the files of another.

#include "core/AppCore.h"
#include "image/ImageState.h"

#include <QString>
#include <functional>

namespace kel {

// fncConvertProcess: reads the raw image file workDir/fileName with the Width and Height that
// CurrentImage already holds, builds the gain-applied mosaic in UploadImage, converts to the
// picture of kind and writes "tmp.bmp" beside the raw file, into workDir. Returns the bitmap's
// path, or "" on every failure. Only a missing raw file is reported here (message 12); the
// caller reports an empty result.
QString fncConvertProcess(AppCore& core, ImageState& state, ImageKind kind, const QString& workDir,
                          const QString& fileName);

// fncSelectConversion: the colour or the grey conversion, then the bitmap writer into workDir;
// returns the writer's result.
QString fncSelectConversion(const QString& workDir, ImageState& state, ImageKind kind);

// A sensor image file turned into a bitmap of kind, the way the program opens one.
struct KelConversion {
    enum class Failure { None, File, Conversion };
    QString bitmap; // "tmp.bmp" of the working folder; "" on failure
    Failure failure = Failure::None;
    explicit operator bool() const { return failure == Failure::None; }
};

// What the caller does between the steps; either may be empty.
struct KelConversionSteps {
    std::function<void()> beforeConversion; // the file was read and its raw file written
    std::function<void()> beforeFailureBox; // the conversion failed; message 13 follows
};

// Reads source into CurrentImage, writes it as the upload file "tmp.bin" of workDir (an old one
// deleted first) and converts that into "tmp.bmp" of workDir. CurrentImage keeps the trailer
// read from source: the upload file has none. Every failure was reported when this returns: a
// file that cannot be read or written by its step, a failed conversion with message 13.
KelConversion fncConvertKelFile(AppCore& core, ImageState& state, const QString& workDir,
                                const QString& source, ImageKind kind,
                                const KelConversionSteps& steps = {});

} // namespace kel
