// Bitmap files of any content: the reader never reads outside the input or allocates more than
// the input holds, a grey picture it reads has one byte a pixel, and a colour one it accepts
// samples into a mosaic.

#include "FuzzSupport.h"

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputDevice input(data, size);
    ImageState state;
    FileProblem problem;
    if (!readBitmap(input.device(), state, problem)) {
        fuzz::check(problem.kind != FileProblem::Kind::None && state.BitmapWidth == 0);
        return 0;
    }
    fuzz::check(state.BitmapPixels.size() <= size);
    if (state.BitmapPixels.isEmpty() || state.BitmapPixels.size() > fuzz::kConvertLimit)
        return 0;
    if (BytesToLong(state.BitmapHeader.biBitCount) != 24) {
        fuzz::check(state.BitmapPixels.columns() == state.BitmapWidth &&
                    state.BitmapPixels.rows() == state.BitmapHeight);
        return 0;
    }
    const bool fits16Bits = state.BitmapWidth <= 32767 && state.BitmapHeight <= 32767;
    fuzz::check(fncBmpToMosaic(fuzz::silentCore(), state) == fits16Bits);
    if (fits16Bits) {
        state.UploadImage.GainR = static_cast<quint8>(size);
        fuzz::check(fncRemoveGains(state));
        fuzz::check(state.CurrentImage.Pixels.columns() == state.BitmapWidth);
    }
    return 0;
}
