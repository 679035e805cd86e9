#include "image/PictureConversion.h"

#include <algorithm>
#include <cstring>

namespace kel {

void convertGreyRows(const SensorImage& image, int firstRow, int endRow, ByteGrid& out,
                     RowOrder order)
{
    const ByteGrid& raw = image.Pixels;
    const int height = raw.rows();
    for (int y = std::max(firstRow, 0); y < std::min(endRow, height); ++y)
        std::memcpy(out.row(order == RowOrder::BottomUp ? height - 1 - y : y), raw.row(y),
                    static_cast<std::size_t>(raw.columns()));
}

bool fncMonoConvert(ImageState& state)
{
    const ByteGrid& raw = state.CurrentImage.Pixels;
    state.BitmapPixels.recreate(raw.columns(), raw.rows());
    convertGreyRows(state.CurrentImage, 0, raw.rows(), state.BitmapPixels, RowOrder::BottomUp);
    return true;
}

} // namespace kel
