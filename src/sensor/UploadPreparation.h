#pragma once
// The file an upload sends: the image's mosaic with the gains the sensor applies divided out,
// so that the sensor shows what the operator saw.

#include "sensor/ImageInfoQuery.h"

namespace kel {

class AppCore;
struct ImageState;

enum class UploadPrepared {
    Ready,    // the upload file is written
    Refused,  // an "IMGINFO" query was answered empty or "ER" (SendCommand told why)
    BadValue, // a reply was no whole number from 0 to 255 (the critical box told which)
    Failed,   // nothing to upload, or the file could not be written (told when it could not)
};

struct UploadPreparation {
    UploadPrepared result = UploadPrepared::Failed;
    serial::CommandOutcome outcome; // of the refused exchange
};

// Asks the sensor for its arrangement and gains, puts them into UploadImage, lays its mosaic out
// in the sensor's arrangement (see layOutMosaicIn: a mosaic already in it goes unchanged),
// divides the gains out of it into CurrentImage and writes CurrentImage as the upload file at
// path. UploadImage keeps its old fields unless all four replies are usable.
UploadPreparation PrepareUploadFile(AppCore& core, const ImageInfoAsk& ask, ImageState& image,
                                    const QString& path);

} // namespace kel
