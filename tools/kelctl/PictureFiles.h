#pragma once
// The pictures kelctl measures and writes: a sensor image file converted the way the window
// opens one, or a bitmap or PNG as it is; and a converted picture written as a PNG.

#include "WorkFolder.h"

#include "image/ImageState.h"
#include "image/PictureView.h"

#include <QImage>
#include <QString>

namespace kelctl {

class LoadedPicture {
public:
    // A .KEL file (any case) goes through the window's conversion of kind, in work's folder;
    // any other file is read as a picture file. ExitOk, or the status of a failure that was
    // printed.
    int load(WorkFolder& work, const QString& path, kel::ImageKind kind);

    // Valid while this object lives and is not loaded again.
    kel::PictureView view() const;

private:
    kel::ImageState m_state; // a sensor image file's conversion
    QImage m_image;          // a picture file, as BGR888 or Grayscale8
};

// The picture as a QImage of its own (BGR888 or Grayscale8).
QImage imageOf(const kel::PictureView& picture);

// Writes the picture as a PNG at path, replacing the file only once it is complete. False after
// the failure was reported the way a bitmap that cannot be written is.
bool writePng(kel::AppCore& core, const kel::PictureView& picture, const QString& path);

} // namespace kelctl
