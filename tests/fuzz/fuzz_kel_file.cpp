// Sensor image files of any content: the reader never reads outside the input, and what it
// accepts converts and writes back to the same image.

#include "FuzzSupport.h"

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputDevice input(data, size);
    ImageState state;
    FileProblem problem;
    if (!readKelImage(input.device(), state, problem)) {
        fuzz::check(problem.kind != FileProblem::Kind::None && state.CurrentImage.Pixels.isEmpty());
        return 0;
    }
    const SensorImage image = state.CurrentImage;
    fuzz::check(image.Pixels.columns() == image.Width && image.Pixels.rows() == image.Height);
    fuzz::check(static_cast<size_t>(kKelHeaderSize) + image.Pixels.size() <= size);

    QString failure;
    QByteArray written = kelFileBytes(image, failure);
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    ImageState reread;
    fuzz::check(readKelImage(again, reread, problem) && reread.CurrentImage == image);

    fuzz::convertEverything(state);
    return 0;
}
