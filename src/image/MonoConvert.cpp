#include "image/PictureConversion.h"

#include <cstring>

namespace kel {

bool fncMonoConvert(ImageState& state)
{
    const ByteGrid& raw = state.CurrentImage.Pixels;
    const int width = raw.columns();
    const int height = raw.rows();
    state.BitmapPixels.recreate(width, height);
    for (int y = 0; y < height; ++y)
        std::memcpy(state.BitmapPixels.row(height - 1 - y), raw.row(y),
                    static_cast<std::size_t>(width));
    return true;
}

} // namespace kel
