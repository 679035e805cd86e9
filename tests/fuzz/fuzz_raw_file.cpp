// Raw image files with any header values: the first 8 input bytes give width and height (as the
// sensor's image information would), arrangement and the three gains; the rest is the file.

#include "FuzzSupport.h"

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kHeader = 8;
    if (size < kHeader)
        return 0;
    ImageState state;
    SensorImage& image = state.CurrentImage;
    image.Width = static_cast<qint16>(data[0] | data[1] << 8);
    image.Height = static_cast<qint16>(data[2] | data[3] << 8);
    image.BayerPhase = data[4];
    image.GainR = data[5];
    image.GainG = data[6];
    image.GainB = data[7];

    fuzz::InputDevice input(data + kHeader, size - kHeader);
    FileProblem failure;
    if (!readRawImage(input.device(), state, failure)) {
        fuzz::check(image.Pixels.isEmpty());
        return 0;
    }
    fuzz::check(image.Pixels.size() <= size - kHeader);
    fuzz::check(state.BitmapWidth == image.Width && state.BitmapHeight == image.Height);
    fuzz::convertEverything(state);

    // The mosaic prepared for an upload, with the same gains taken off again.
    state.UploadImage.BayerPhase = image.BayerPhase;
    state.UploadImage.GainR = image.GainR;
    state.UploadImage.GainG = image.GainG;
    state.UploadImage.GainB = image.GainB;
    if (image.Pixels.size() <= fuzz::kConvertLimit)
        fuzz::check(fncRemoveGains(state));
    return 0;
}
