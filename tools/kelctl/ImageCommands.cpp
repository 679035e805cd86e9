// The conversions run in a private working folder, so that scripts running side by side, or
// beside the program itself, never share tmp.bin and tmp.bmp.

#include "ImageCommands.h"
#include "ExitStatus.h"

#include "app/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/ConvertProcess.h"
#include "image/FileAccess.h"
#include "image/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kConvertUsage =
    "usage: kelctl convert IN.KEL OUT.bmp [--grey]\n\n"
    "Converts a sensor image file to a bitmap the way the program shows it: a 24-bit colour\n"
    "bitmap (demosaic with the file's gains) or, with --grey, an 8-bit grey bitmap of the raw\n"
    "values. OUT.bmp is replaced.\n";

const char* const kImportUsage =
    "usage: kelctl import IN.bmp OUT.KEL\n\n"
    "Turns a 24-bit bitmap of 508 x 432, 216 or 108 pixels into a sensor image file the way the\n"
    "program opens a bitmap: colour arrangement 3, gains 0. OUT.KEL is replaced.\n";

struct Arguments {
    QStringList files;
    bool grey = false;
    bool help = false;
    QString unknown; // the first option not understood
};

Arguments parse(const QStringList& args, bool acceptsGrey)
{
    Arguments parsed;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            parsed.help = true;
        else if (acceptsGrey && arg == QLatin1String("--grey"))
            parsed.grey = true;
        else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1 && parsed.unknown.isEmpty())
            parsed.unknown = arg;
        else
            parsed.files << arg;
    }
    return parsed;
}

// Handles --help and bad arguments; true when the command should run.
bool argumentsUsable(const Arguments& parsed, const char* usage, int& status)
{
    if (parsed.help) {
        std::fputs(usage, stdout);
        status = ExitOk;
        return false;
    }
    if (!parsed.unknown.isEmpty() || parsed.files.size() != 2) {
        if (!parsed.unknown.isEmpty())
            std::fprintf(stderr, "kelctl: unknown option '%s'\n",
                         parsed.unknown.toLocal8Bit().constData());
        std::fputs(usage, stderr);
        status = ExitUsage;
        return false;
    }
    return true;
}

// A working folder of its own, with the language of the command line's core.
class PrivateWorkFolder {
public:
    explicit PrivateWorkFolder(Context& context)
        : m_core(workPaths(context.core.paths(), m_dir.path()), context.prompter)
    {
        m_core.lngLanguage = context.core.lngLanguage;
        m_ok = m_dir.isValid() && QDir().mkpath(m_core.paths().tmpDir());
    }

    bool isValid() const { return m_ok; }
    kel::AppCore& core() { return m_core; }
    QString tmpFile(const QString& name) const
    {
        return m_core.paths().tmpDir() + QLatin1Char('/') + name;
    }

private:
    static kel::AppPaths workPaths(kel::AppPaths paths, const QString& appDir)
    {
        paths.appDir = appDir;
        return paths;
    }

    QTemporaryDir m_dir;
    kel::AppCore m_core;
    bool m_ok = false;
};

} // namespace

int runConvert(Context& context, const QStringList& args)
{
    const Arguments parsed = parse(args, true);
    int status = ExitOk;
    if (!argumentsUsable(parsed, kConvertUsage, status))
        return status;
    const QString& input = parsed.files.at(0);
    const QString& output = parsed.files.at(1);

    PrivateWorkFolder work(context);
    if (!work.isValid()) {
        context.core.ShowFailure(
            QStringLiteral("Path/File access error (%1)").arg(QDir::tempPath()));
        return ExitFileError;
    }
    kel::ImageState state;
    if (!kel::fncReadFile_KEL(work.core(), state, input))
        return ExitFileError;
    if (!kel::fncMakeTmpBinFile(work.core(), state, work.tmpFile(kel::kTmpBin)))
        return ExitFileError;
    const kel::ImageKind kind = parsed.grey ? kel::ImageKind::Grey : kel::ImageKind::Colour;
    const QString bitmap = kel::fncConvertProcess(work.core(), state, kind,
                                                  work.core().paths().tmpDir(), kel::kTmpBin);
    if (bitmap.isEmpty()) {
        work.core().ShowMessageOrFailure(kel::kSectionMessage, kel::MsgConversionFailed);
        return ExitFailure;
    }

    QFile picture(bitmap);
    QString failure;
    if (!picture.open(QIODevice::ReadOnly) ||
        !kel::writeWholeFile(output, picture.readAll(), failure)) {
        context.core.ShowFailure(
            failure.isEmpty() ? kel::describeFailure(picture.errorString(), bitmap) : failure);
        return ExitFileError;
    }
    return ExitOk;
}

int runImport(Context& context, const QStringList& args)
{
    const Arguments parsed = parse(args, false);
    int status = ExitOk;
    if (!argumentsUsable(parsed, kImportUsage, status))
        return status;
    const QString& input = parsed.files.at(0);
    const QString& output = parsed.files.at(1);

    kel::ImageState state;
    if (!kel::fncReadBmpFile(context.core, state, input))
        return ExitFileError;
    if (!kel::isSensorBitmap(state)) {
        context.core.ShowMessageOrFailure(kel::kSectionMessage, kel::MsgBitmapNotConvertible);
        return ExitUsage;
    }
    if (!kel::fncBmpToMosaic(context.core, state))
        return ExitFailure;
    state.CurrentImage = state.UploadImage;
    if (!kel::fncWriteFile_KEL(context.core, state, output))
        return ExitFileError;
    return ExitOk;
}

} // namespace kelctl
