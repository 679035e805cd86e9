// Timing of the conversion pipeline on the sensor's full image: the whole of fncConvertProcess
// (read the raw file, apply gains, convert, write the bitmap) and its stages alone.

#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/ConvertProcess.h"
#include "image/Gains.h"
#include "image/PictureConversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace kel;

constexpr int kWidth = kSensorWidth;
constexpr int kHeight = kSensorFullHeight;

class SilentPrompter : public Prompter {
public:
    int messageBox(const QString&, int, const QString&) override { return AnswerOk; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
};

// A working folder holding a raw image file of the sensor's full size, and the state of a fetch
// that is about to convert it.
struct Fixture {
    Fixture() : core(AppPaths::single(dir.path()), prompter)
    {
        QDir(dir.path()).mkpath(QStringLiteral("TMP"));
        QByteArray raw(kWidth * kHeight + 2, '\0');
        unsigned seed = 12345;
        for (char& byte : raw) {
            seed = seed * 1664525u + 1013904223u;
            byte = static_cast<char>(seed >> 24);
        }
        QFile file(core.paths().tmpDir() + QLatin1Char('/') + kTmpBin);
        file.open(QIODevice::WriteOnly);
        file.write(raw);
        state.CurrentImage.Width = kWidth;
        state.CurrentImage.Height = kHeight;
        state.CurrentImage.BayerPhase = 0;
        state.CurrentImage.GainR = 35;
        state.CurrentImage.GainG = 0;
        state.CurrentImage.GainB = 60;
    }

    QTemporaryDir dir;
    SilentPrompter prompter;
    AppCore core;
    ImageState state;
};

void reportPerPixel(benchmark::State& run)
{
    run.counters["per_pixel"] =
        benchmark::Counter(kWidth * kHeight, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

void ConvertProcess(benchmark::State& run, ImageKind kind)
{
    Fixture f;
    for (auto _ : run) {
        const QString bitmap =
            fncConvertProcess(f.core, f.state, kind, f.core.paths().tmpDir(), kTmpBin);
        if (bitmap.isEmpty())
            run.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(bitmap);
    }
    reportPerPixel(run);
}
BENCHMARK_CAPTURE(ConvertProcess, colour, ImageKind::Colour)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ConvertProcess, grey, ImageKind::Grey)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The stages one by one, on the image the pipeline has just read.
Fixture& readFixture()
{
    static Fixture f;
    static const bool read =
        !fncConvertProcess(f.core, f.state, ImageKind::Colour, f.core.paths().tmpDir(), kTmpBin)
             .isEmpty();
    Q_UNUSED(read);
    return f;
}

void ApplyGains(benchmark::State& run)
{
    Fixture& f = readFixture();
    for (auto _ : run)
        benchmark::DoNotOptimize(fncApplyGains(f.state));
    reportPerPixel(run);
}
BENCHMARK(ApplyGains)->Unit(benchmark::kMicrosecond)->UseRealTime();

void ColourConvert(benchmark::State& run)
{
    Fixture& f = readFixture();
    for (auto _ : run)
        benchmark::DoNotOptimize(fncColorConvert(f.state));
    reportPerPixel(run);
}
BENCHMARK(ColourConvert)->Unit(benchmark::kMicrosecond)->UseRealTime();

void MonoConvert(benchmark::State& run)
{
    Fixture& f = readFixture();
    for (auto _ : run)
        benchmark::DoNotOptimize(fncMonoConvert(f.state));
    reportPerPixel(run);
}
BENCHMARK(MonoConvert)->Unit(benchmark::kMicrosecond)->UseRealTime();

void WriteColourBitmap(benchmark::State& run)
{
    Fixture& f = readFixture();
    fncColorConvert(f.state);
    for (auto _ : run)
        benchmark::DoNotOptimize(
            fncWriteBmpFile(f.core.paths().tmpDir(), f.state, ImageKind::Colour));
    reportPerPixel(run);
}
BENCHMARK(WriteColourBitmap)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
