#pragma once
// What one pixel holds, for the readout under the pointer: its converted values and, for a
// colour picture converted from a mosaic, the raw value at that site and the colour its filter
// has there (from the image's colour arrangement).

#include "image/BayerLayout.h"
#include "image/PictureView.h"

#include <QPoint>
#include <optional>

namespace kel {

struct RawSite {
    quint8 value = 0;
    SiteColour colour = SiteColour::Green;
};

struct PixelReadout {
    QPoint at;
    bool inside = false; // false: (x, y) lies outside the picture and nothing else is set
    ImageKind kind = ImageKind::Grey;
    quint8 red = 0; // colour pictures
    quint8 green = 0;
    quint8 blue = 0;
    quint8 grey = 0;            // grey pictures
    std::optional<RawSite> raw; // colour pictures with a mosaic holding (x, y)
};

// mosaic is the raw image the picture was converted from (CurrentImage), or null when there is
// none: a bitmap that was opened has no raw values of its own. The picture and the mosaic share
// their coordinates (raw row 0 is the top of the picture).
PixelReadout readPixel(const PictureView& picture, const SensorImage* mosaic, int x, int y);

} // namespace kel
