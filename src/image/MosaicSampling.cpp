#include "image/MosaicSampling.h"
#include "image/BayerLayout.h"

#include <algorithm>

namespace kel {

namespace {

constexpr quint8 kLastArrangement = 3;
constexpr int kColourBytes = 3;

// Component of a bitmap pixel (blue, green, red) for a site's colour.
int componentOf(SiteColour colour)
{
    switch (colour) {
    case SiteColour::Blue:
        return 0;
    case SiteColour::Red:
        return 2;
    case SiteColour::Green:
        break;
    }
    return 1;
}

} // namespace

void sampleMosaic(const ByteGrid& picture, quint8 phase, ByteGrid& mosaic)
{
    const int width = picture.columns() / kColourBytes;
    const int height = picture.rows();
    mosaic.recreate(width, height);
    const BayerLayout layout(phase);
    for (int y = 0; y < height; ++y) {
        const quint8* source = picture.row(height - 1 - y);
        quint8* target = mosaic.row(y);
        for (int x = 0; x < width; ++x)
            target[x] = source[kColourBytes * x + componentOf(layout.colourAt(x, y))];
    }
}

bool sameArrangement(quint8 first, quint8 second)
{
    return std::min(first, kLastArrangement) == std::min(second, kLastArrangement);
}

bool layOutMosaicIn(ImageState& state, quint8 phase)
{
    if (sameArrangement(state.CurrentImage.BayerPhase, phase))
        return true;
    const ByteGrid& picture = state.BitmapPixels;
    const ByteGrid& mosaic = state.UploadImage.Pixels;
    if (mosaic.isEmpty() || picture.columns() != kColourBytes * mosaic.columns() ||
        picture.rows() != mosaic.rows())
        return false;
    sampleMosaic(picture, phase, state.UploadImage.Pixels);
    state.CurrentImage.BayerPhase = phase;
    return true;
}

} // namespace kel
