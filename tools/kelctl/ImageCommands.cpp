// kelctl convert and kelctl import: the sensor image files and bitmaps of the File menu, without
// the sensor. Conversions run in a working folder of their own.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "PictureFiles.h"
#include "Terminal.h"
#include "WorkFolder.h"

#include "core/WorkFolders.h"
#include "files/BatchChoice.h"
#include "files/BatchConvert.h"
#include "image/BitmapFile.h"
#include "image/ConvertProcess.h"
#include "image/FileAccess.h"
#include "image/ImageFiles.h"
#include "image/PictureView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kConvertUsage =
    "usage: kelctl convert [--grey] [--png] IN.KEL OUT.bmp\n"
    "       kelctl convert [--grey] [--png] --out DIR (FILE.KEL | FOLDER)...\n\n"
    "Converts sensor image files to bitmaps the way the program shows them: a 24-bit colour\n"
    "bitmap (demosaic with the file's gains) or, with --grey, an 8-bit grey bitmap of the raw\n"
    "values. The first form replaces OUT.bmp. The second converts every file given and every\n"
    "*.KEL file of every folder given into DIR (made when missing), as NAME.bmp; it goes on\n"
    "after a file that fails and never writes over a source file. --png writes the same\n"
    "picture as a PNG too (lossless), beside each bitmap with the name ending in .png; an OUT\n"
    "that ends in .png itself gets the PNG only.\n";

const char* const kImportUsage =
    "usage: kelctl import IN.bmp OUT.KEL\n\n"
    "Turns a 24-bit bitmap of 508 x 432, 216 or 108 pixels into a sensor image file the way the\n"
    "program opens a bitmap: colour arrangement 3, gains 0. OUT.KEL is replaced.\n";

struct ConvertChoice {
    bool grey = false;
    bool png = false; // a PNG as well, or instead of a bitmap named *.png
};

bool endsInPng(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
}

// The PNG that goes beside the bitmap: the same path, spelt as given, ending in .png.
QString pngBeside(const QString& bitmap)
{
    const QString suffix = QFileInfo(bitmap).suffix();
    const QString base = suffix.isEmpty() ? bitmap : bitmap.chopped(suffix.size() + 1);
    return base + QStringLiteral(".png");
}

// One sensor image file into one bitmap (and a PNG), through the working folder; never over the
// source itself. The files written are added to written once complete; a failure was printed.
int convertOne(WorkFolder& work, const QString& input, const QString& output,
               const ConvertChoice& choice, QStringList& written)
{
    kel::ImageState state;
    const kel::ImageKind kind = choice.grey ? kel::ImageKind::Grey : kel::ImageKind::Colour;
    const kel::KelConversion converted =
        kel::fncConvertKelFile(work.core(), state, work.tmpDir(), input, kind);
    if (!converted)
        return converted.failure == kel::KelConversion::Failure::File ? ExitFileError : ExitFailure;
    const bool pngOnly = choice.png && endsInPng(output);
    if (!pngOnly) {
        if (!kel::fncStoreBitmap(work.core(), converted.bitmap, output, input))
            return ExitFileError;
        written << output;
    }
    if (choice.png) {
        const QString png = kel::avoidingSource(pngOnly ? output : pngBeside(output), input);
        if (!writePng(work.core(), kel::convertedPicture(state), png))
            return ExitFileError;
        written << png;
    }
    return ExitOk;
}

// A file named twice, or through two paths, is converted once.
void addOnce(QStringList& sources, QSet<QString>& seen, const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (seen.contains(canonical))
        return;
    seen.insert(canonical);
    sources << path;
}

// The sensor image files named: files as given, folders as their *.KEL files (any case) in
// name order. False, with the reason printed, for a name that is neither.
bool collectSources(const kel::AppCore& core, const QStringList& names, QStringList& sources)
{
    QSet<QString> seen;
    for (const QString& name : names) {
        const QFileInfo info(name);
        if (info.isDir()) {
            const QStringList files =
                QDir(name).entryList({QStringLiteral("*.KEL")}, QDir::Files | QDir::Readable,
                                     QDir::Name | QDir::IgnoreCase);
            for (const QString& file : files)
                addOnce(sources, seen, QDir(name).filePath(file));
        } else if (info.isFile()) {
            addOnce(sources, seen, name);
        } else {
            printError(kelctlText(core, kel::KelctlNoSuchFile, {name}));
            return false;
        }
    }
    return true;
}

void drawBatchProgress(qsizetype done, qsizetype count, const QString& name)
{
    constexpr int kBarWidth = 30;
    const int filled = count > 0 ? int(done * kBarWidth / count) : kBarWidth;
    std::fprintf(stderr, "\r[%s%s] %lld/%lld %s\033[K", QByteArray(filled, '#').constData(),
                 QByteArray(kBarWidth - filled, '.').constData(), static_cast<long long>(done),
                 static_cast<long long>(count), name.toLocal8Bit().constData());
    std::fflush(stderr);
}

int convertMany(WorkFolder& work, const QStringList& names, const QString& outDir,
                const ConvertChoice& choice)
{
    QStringList sources;
    const kel::AppCore& core = work.core();
    if (!collectSources(core, names, sources))
        return ExitUsage;
    if (!QDir().mkpath(outDir)) {
        printError(kelctlText(core, kel::KelctlCannotMakeFolder, {outDir}));
        return ExitFileError;
    }
    const bool showProgress = isTerminal(stderr);
    int status = ExitOk;
    qsizetype failed = 0;
    for (qsizetype index = 0; index < sources.size(); ++index) {
        const QString& source = sources[index];
        const QString target = kel::bitmapPathFor(outDir, QFileInfo(source).fileName(), source);
        if (showProgress) // messages of a failing file start on a clean line
            std::fputs("\r\033[K", stderr);
        QStringList written;
        const int converted = convertOne(work, source, target, choice, written);
        for (const QString& file : written)
            listWritten(file);
        if (converted != ExitOk) {
            status = converted;
            ++failed;
            printError(kelctlText(core, kel::KelctlNotConverted, {source}));
        }
        if (showProgress)
            drawBatchProgress(index + 1, sources.size(), QFileInfo(source).fileName());
    }
    if (showProgress)
        std::fputc('\n', stderr);
    if (failed > 0)
        printError(kelctlText(core, kel::KelctlFilesNotConverted,
                              {QString::number(failed), QString::number(sources.size())}));
    return status;
}

} // namespace

int runConvert(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(
        args, {{QStringLiteral("--grey"), QStringLiteral("--png")}, {QStringLiteral("--out")}});
    const QStringList outDirs = parsed.all(QStringLiteral("--out"));
    if (parsed.error.isEmpty()) {
        if (outDirs.size() > 1)
            parsed.error = QStringLiteral("--out is given once");
        else if (outDirs.isEmpty() && parsed.positional.size() != 2)
            parsed.error = QStringLiteral("an input and an output file are needed");
        else if (!outDirs.isEmpty() && parsed.positional.isEmpty())
            parsed.error = QStringLiteral("no file or folder to convert");
    }
    int status = ExitOk;
    if (!shouldRun(parsed, kConvertUsage, status))
        return status;
    const ConvertChoice choice{parsed.has(QStringLiteral("--grey")),
                               parsed.has(QStringLiteral("--png"))};

    WorkFolder work(context);
    if (!work.isValid())
        return ExitFileError;
    if (!outDirs.isEmpty())
        return convertMany(work, parsed.positional, outDirs.first(), choice);
    const QString& input = parsed.positional.at(0);
    const QString target = kel::avoidingSource(parsed.positional.at(1), input);
    if (target != parsed.positional.at(1))
        printError(kelctlText(context.core, kel::KelctlSourceKept, {input, target}));
    QStringList written;
    status = convertOne(work, input, target, choice, written);
    for (const QString& file : written)
        listWritten(file);
    return status;
}

int runImport(Context& context, const QStringList& args)
{
    const Arguments parsed =
        parseArguments(args, {{}, {}, 2, "an input and an output file are needed"});
    int status = ExitOk;
    if (!shouldRun(parsed, kImportUsage, status))
        return status;
    const QString& input = parsed.positional.at(0);
    const QString& output = parsed.positional.at(1);

    kel::ImageState state;
    if (!kel::fncReadBmpFile(context.core, state, input))
        return ExitFileError;
    if (!kel::isSensorBitmap(state)) {
        context.core.ShowMessageOrFailure(kel::kSectionMessage, kel::MsgBitmapNotConvertible,
                                          {QDir::toNativeSeparators(input)});
        return ExitUsage;
    }
    if (!kel::fncBmpToMosaic(context.core, state))
        return ExitFailure;
    state.CurrentImage = state.UploadImage;
    if (!kel::fncWriteFile_KEL(context.core, state, output))
        return ExitFileError;
    listWritten(output);
    return ExitOk;
}

} // namespace kelctl
