#include "image/PixelReadout.h"

namespace kel {

PixelReadout readPixel(const PictureView& picture, const SensorImage* mosaic, int x, int y)
{
    PixelReadout readout;
    readout.at = QPoint(x, y);
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return readout;
    readout.inside = true;
    readout.kind = picture.kind();
    const quint8* pixel = picture.row(y) + picture.bytesPerPixel() * x;
    if (picture.kind() == ImageKind::Grey) {
        readout.grey = pixel[0];
        return readout;
    }
    readout.red = pixel[picture.offsetOf(Channel::Red)];
    readout.green = pixel[picture.offsetOf(Channel::Green)];
    readout.blue = pixel[picture.offsetOf(Channel::Blue)];
    // The extent of Pixels can differ from the picture's (an upload file's 480 rows).
    if (mosaic && x < mosaic->Pixels.columns() && y < mosaic->Pixels.rows())
        readout.raw =
            RawSite{mosaic->Pixels.at(x, y), BayerLayout(mosaic->BayerPhase).colourAt(x, y)};
    return readout;
}

} // namespace kel
