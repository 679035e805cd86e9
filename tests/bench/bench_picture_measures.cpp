// Timing of the measurements on the sensor's full colour picture, converted as the window shows
// it: the statistics of the whole picture and of a rectangle, a comparison with a reference,
// the difference picture and a diagonal profile.

#include "image/LineProfile.h"
#include "image/PictureCompare.h"
#include "image/PictureConversion.h"
#include "image/PictureStats.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kel;

ImageState sensorPicture(unsigned seed)
{
    ImageState state;
    state.CurrentImage.Pixels.recreate(kSensorWidth, kSensorFullHeight);
    for (std::size_t i = 0; i < state.CurrentImage.Pixels.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        state.CurrentImage.Pixels.data()[i] = static_cast<quint8>(seed >> 24);
    }
    state.CurrentImage.GainR = 35;
    state.CurrentImage.GainB = 60;
    state.BitmapWidth = kSensorWidth;
    state.BitmapHeight = kSensorFullHeight;
    fncColorConvert(state);
    return state;
}

void statsWhole(benchmark::State& run)
{
    const ImageState state = sensorPicture(1);
    for (auto _ : run)
        benchmark::DoNotOptimize(pictureStats(convertedPicture(state)));
}
BENCHMARK(statsWhole)->Unit(benchmark::kMicrosecond);

void statsRectangle(benchmark::State& run)
{
    const ImageState state = sensorPicture(1);
    for (auto _ : run)
        benchmark::DoNotOptimize(pictureStats(convertedPicture(state), QRect(100, 100, 200, 150)));
}
BENCHMARK(statsRectangle)->Unit(benchmark::kMicrosecond);

void compareWithReference(benchmark::State& run)
{
    const ImageState picture = sensorPicture(1);
    const ImageState reference = sensorPicture(2);
    for (auto _ : run)
        benchmark::DoNotOptimize(
            comparePictures(convertedPicture(picture), convertedPicture(reference)));
}
BENCHMARK(compareWithReference)->Unit(benchmark::kMicrosecond);

void differenceWithReference(benchmark::State& run)
{
    const ImageState picture = sensorPicture(1);
    const ImageState reference = sensorPicture(2);
    for (auto _ : run)
        benchmark::DoNotOptimize(
            differencePicture(convertedPicture(picture), convertedPicture(reference)));
}
BENCHMARK(differenceWithReference)->Unit(benchmark::kMicrosecond);

void diagonalProfile(benchmark::State& run)
{
    const ImageState state = sensorPicture(1);
    for (auto _ : run)
        benchmark::DoNotOptimize(lineProfile(convertedPicture(state), QPoint(0, 0),
                                             QPoint(kSensorWidth - 1, kSensorFullHeight - 1)));
}
BENCHMARK(diagonalProfile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
