// Convert-all over a folder of generated 508 x 432 sensor image files, against plain copies of
// the same input and output volume. Run by hand:
//   bench_batch_convert [files] [colour|grey]
// It prints both times, their ratio and the time per file of each step of the conversion.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/FileCopy.h"
#include "core/WorkFolders.h"
#include "files/BatchChoice.h"
#include "files/BatchConvert.h"
#include "image/ConvertProcess.h"
#include "image/ImageFiles.h"
#include "sensor/frmWait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace kel;

namespace {

class SilentPrompter : public Prompter {
public:
    int messageBox(const QString& text, int style, const QString&) override
    {
        if (style & 16)
            std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return AnswerOk;
    }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
};

QByteArray sensorFile(std::mt19937& random)
{
    SensorImage image;
    assignModelName(image, kSensorModelName);
    image.GainR = 20;
    image.GainG = 5;
    image.GainB = 35;
    image.Width = kSensorWidth;
    image.Height = kSensorFullHeight;
    image.Pixels = ByteGrid(kSensorWidth, kSensorFullHeight);
    for (std::size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels.data()[i] = static_cast<quint8>(random());
    QString failure;
    return kelFileBytes(image, failure);
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const bool colour = !(argc > 2 && QByteArray(argv[2]) == "grey");

    QTemporaryDir root;
    const QString appDir = root.filePath(QStringLiteral("app"));
    const QString in = root.filePath(QStringLiteral("in"));
    const QString out = root.filePath(QStringLiteral("out"));
    const QString steps = root.filePath(QStringLiteral("steps"));
    for (const QString& folder :
         {appDir + "/TMP", in, out, steps, root.filePath("copy-in"), root.filePath("copy-out")})
        QDir().mkpath(folder);
    for (const char* name : {"MessageJPN.ini", "LabelJPN.ini"})
        QFile::copy(QStringLiteral(KEL_LANGUAGE_DIR "/") + QLatin1String(name),
                    appDir + "/" + QLatin1String(name));

    std::printf("generating %d files of %d x %d in %s\n", count, kSensorWidth, kSensorFullHeight,
                qPrintable(root.path()));
    std::mt19937 random(7);
    BatchChoice batch;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("IMG%1.KEL").arg(i, 4, 10, QLatin1Char('0'));
        QFile file(in + "/" + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(sensorFile(random)) < 0)
            return 1;
        batch.strConvFileName << name;
        batch.strConvFilePath << file.fileName();
    }
    batch.strSaveDir = folderWithSeparator(out);

    SilentPrompter prompter;
    AppCore core(AppPaths::single(appDir), prompter);
    frmMain window(core);

    // The run as the batch dialog starts it.
    QElapsedTimer timer;
    timer.start();
    frmWait wait(core, window.line(), &window, window.cdlFileOpen);
    const ImageKind kind = colour ? ImageKind::Colour : ImageKind::Grey;
    BatchRun run(core.paths());
    const bool converted = wait.fncKelAutoConvert(count, [&](qsizetype index) {
        const QString source = batch.strConvFilePath[index];
        const QString bitmap =
            fncConvertBatchFile(core, run.picture(), kind, source, window.windowTitle());
        return !bitmap.isEmpty() &&
               fncStoreBitmap(core, bitmap,
                              bitmapPathFor(batch.strSaveDir, batch.strConvFileName[index], source),
                              source);
    });
    const double conversion = seconds(timer);
    if (!converted)
        return 1;

    // The same bytes in and out by plain copies.
    const QString bitmap = out + "/" + bitmapNameFor(batch.strConvFileName.first());
    const qint64 inBytes = QFileInfo(batch.strConvFilePath.first()).size() * count;
    const qint64 outBytes = QFileInfo(bitmap).size() * count;
    timer.restart();
    for (int i = 0; i < count; ++i) {
        const QString name = batch.strConvFileName[i];
        QFile::copy(batch.strConvFilePath[i], root.filePath("copy-in/") + name);
        QFile::copy(bitmap, root.filePath("copy-out/") + name + ".bmp");
    }
    const double copying = seconds(timer);

    std::printf("%s conversion of %d files: %.3f s (%.2f ms per file)\n",
                colour ? "colour" : "grey", count, conversion, conversion * 1000 / count);
    std::printf("plain copies of %.1f MB in and %.1f MB out: %.3f s\n", inBytes / 1e6,
                outBytes / 1e6, copying);
    std::printf("ratio: %.2f\n", conversion / copying);

    // Where the time goes: the run's steps one by one over the same files, into a fresh folder.
    const QString tmpDir = core.paths().tmpDir();
    const QString tmpBin = tmpDir + "/" + kTmpBin;
    const QString tmpBmp = tmpDir + "/" + kTmpBmp;
    double spent[4] = {};
    const char* names[4] = {"read the sensor file", "write tmp.bin", "convert to tmp.bmp",
                            "copy to the output folder"};
    ImageState& image = window.image();
    for (int i = 0; i < count; ++i) {
        timer.restart();
        fncReadFile_KEL(core, image, batch.strConvFilePath[i]);
        spent[0] += seconds(timer);
        timer.restart();
        fncMakeTmpBinFile(core, image, tmpBin);
        spent[1] += seconds(timer);
        timer.restart();
        fncConvertProcess(core, image, kind, tmpDir, kTmpBin);
        spent[2] += seconds(timer);
        timer.restart();
        replaceWithCopy(tmpBmp,
                        bitmapPathFor(steps, batch.strConvFileName[i], batch.strConvFilePath[i]),
                        nullptr);
        spent[3] += seconds(timer);
    }
    for (int s = 0; s < 4; ++s)
        std::printf("  %-26s %.2f ms per file\n", names[s], spent[s] * 1000 / count);
    return 0;
}
