// kelctl info, fetch and upload: the image the sensor holds, read, fetched and converted, or
// replaced by an image of the operator's, by the same steps as the image panel of the window.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "Session.h"
#include "WorkFolder.h"

#include "core/VbConvert.h"
#include "core/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/ConvertProcess.h"
#include "image/FileAccess.h"
#include "image/FileProblem.h"
#include "image/ImageFiles.h"
#include "sensor/ImageInfoQuery.h"
#include "sensor/UploadPreparation.h"
#include "serial/XmodemProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kInfoUsage =
    "usage: kelctl info [--json]\n\n"
    "Prints what the sensor says of the image it holds (\"IMGINFO 0 0\" to \"IMGINFO 0 4\"):\n"
    "colour arrangement, red, green and blue gain, size code, and the width and height that\n"
    "follow from it.\n";

const char* const kFetchUsage =
    "usage: kelctl fetch [--grey] OUT...\n"
    "       kelctl fetch [--grey] [--kel FILE.KEL] [--bmp FILE.bmp]\n\n"
    "Fetches the sensor's image and writes it as the window would save it: OUT ending in\n"
    ".KEL (any case) as a sensor image file, in .bmp as the converted bitmap (24-bit colour,\n"
    "or 8-bit grey with --grey). A grey fetch gives no sensor image file. Files are replaced.\n";

const char* const kUploadUsage =
    "usage: kelctl upload IN\n\n"
    "Loads an image into the sensor: a sensor image file (.KEL) or a 24-bit bitmap of 508 x\n"
    "432, 216 or 108 pixels. As the window's upload does, the image is laid out in the\n"
    "sensor's colour arrangement and the sensor's gains are divided out first.\n";

struct SensorImageInfo {
    int values[kel::kImageInfoCount] = {}; // arrangement, gains red, green, blue, size code
    int height() const
    {
        return kel::sensor::rowsOfSizeCode(values[kel::sensor::InfoSizeCode]).value_or(0);
    }
};

// Asks the five questions; the status of what went wrong otherwise (printed).
std::optional<SensorImageInfo> readImageInfo(Session& session, int* status)
{
    if (session.stopRequested()) {
        printError(kelctlText(session.core(), kel::KelctlStopped));
        *status = ExitStopped;
        return std::nullopt;
    }
    SensorImageInfo parsed;
    QString badValue;
    const kel::ImageInfoReplies info = kel::QueryImageInfo(
        session.link(), kel::kImageInfoCount, [&](int item, const QString& reply) {
            const std::optional<int> value = kel::imageInfoValue(item, reply, &badValue);
            parsed.values[item] = value.value_or(0);
            return value.has_value();
        });
    if (!badValue.isEmpty()) {
        session.core().ShowFailure(badValue);
        *status = ExitUnexpectedReply;
        return std::nullopt;
    }
    if (!info.complete) {
        *status = Session::statusOf(info.outcome, kel::sensor::kReplyError);
        return std::nullopt;
    }
    *status = ExitOk;
    return parsed;
}

bool hasSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

// The size of a received image file: its bytes and the trailer, filled up to whole blocks.
qint64 receivedSize(int width, int height)
{
    return kel::serial::wholeBlockBytes(qint64(width) * height + kel::kTrailerSize);
}

// A sensor that sends fewer blocks than its image holds ends its stream as a whole one does:
// the file is then told as cut short, with its size, rather than as a failed conversion.
bool holdsTheImage(kel::AppCore& core, const QString& path, const kel::SensorImage& image)
{
    const qint64 size = QFileInfo(path).size();
    const qint64 pixels = qint64(image.Width) * image.Height;
    if (size >= pixels)
        return true;
    core.ShowFailure(kel::describeFileProblem(
        core, path, kel::FileProblem::cutShort(size, static_cast<quint64>(pixels))));
    return false;
}

int writeCopy(kel::AppCore& core, const QString& source, const QString& target)
{
    QFile in(source);
    QString failure;
    if (!in.open(QIODevice::ReadOnly) || !kel::writeWholeFile(target, in.readAll(), failure)) {
        core.ShowFailure(failure.isEmpty() ? kel::describeFailure(in.errorString(), source)
                                           : failure);
        return ExitFileError;
    }
    return ExitOk;
}

} // namespace

int runInfo(Context& context, const QStringList& args)
{
    const Arguments parsed =
        parseArguments(args, {{QStringLiteral("--json")}, {}, 0, "info takes no argument"});
    int status = ExitOk;
    if (!shouldRun(parsed, kInfoUsage, status))
        return status;
    Session session(context);
    const std::optional<SensorImageInfo> info = readImageInfo(session, &status);
    if (!info)
        return status;
    const int* v = info->values;
    const QString height = info->height() > 0 ? QString::number(info->height()) : QString();
    if (parsed.has(QStringLiteral("--json"))) {
        std::printf("{\"arrangement\": %d, \"gainRed\": %d, \"gainGreen\": %d, \"gainBlue\": %d, "
                    "\"sizeCode\": %d, \"width\": %d, \"height\": %s}\n",
                    v[0], v[1], v[2], v[3], v[4], kel::kSensorWidth,
                    height.isEmpty() ? "null" : height.toLatin1().constData());
    } else {
        std::printf("arrangement  %d\ngain red     %d\ngain green   %d\ngain blue    %d\n"
                    "size code    %d\nwidth        %d\nheight       %s\n",
                    v[0], v[1], v[2], v[3], v[4], kel::kSensorWidth,
                    height.isEmpty() ? "unknown" : height.toLatin1().constData());
    }
    return ExitOk;
}

int runFetch(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(
        args, {{QStringLiteral("--grey")}, {QStringLiteral("--kel"), QStringLiteral("--bmp")}});
    QStringList kelFiles = parsed.all(QStringLiteral("--kel"));
    QStringList bmpFiles = parsed.all(QStringLiteral("--bmp"));
    for (const QString& out : parsed.positional) {
        if (hasSuffix(out, "KEL"))
            kelFiles << out;
        else if (hasSuffix(out, "bmp"))
            bmpFiles << out;
        else if (parsed.error.isEmpty())
            parsed.error = out + QStringLiteral(": the name must end in .KEL or .bmp");
    }
    const bool grey = parsed.has(QStringLiteral("--grey"));
    if (parsed.error.isEmpty()) {
        if (kelFiles.isEmpty() && bmpFiles.isEmpty())
            parsed.error = QStringLiteral("no file to write");
        else if (kelFiles.size() > 1 || bmpFiles.size() > 1)
            parsed.error = QStringLiteral("one .KEL and one .bmp file at most");
        else if (grey && !kelFiles.isEmpty())
            parsed.error = QStringLiteral("a grey fetch gives no sensor image file");
    }
    int status = ExitOk;
    if (!shouldRun(parsed, kFetchUsage, status))
        return status;

    WorkFolder work(context);
    if (!work.isValid())
        return ExitFileError;
    Session session(context);
    const std::optional<SensorImageInfo> info = readImageInfo(session, &status);
    if (!info)
        return status;
    if (info->height() == 0) {
        printError(kelctlText(context.core, kel::KelctlNoImageSize,
                              {QString::number(info->values[kel::sensor::InfoSizeCode])}));
        return ExitUnexpectedReply;
    }

    kel::ImageState state;
    kel::SensorImage& current = state.CurrentImage;
    kel::assignModelName(current, kel::kSensorModelName);
    current.BayerPhase = static_cast<quint8>(info->values[0]);
    current.GainR = static_cast<quint8>(info->values[1]);
    current.GainG = static_cast<quint8>(info->values[2]);
    current.GainB = static_cast<quint8>(info->values[3]);
    current.Width = static_cast<qint16>(kel::kSensorWidth);
    current.Height = static_cast<qint16>(info->height());

    const QString tmpBin = work.tmpFile(kel::kTmpBin);
    status =
        session.transfer(grey ? kel::sensor::kImageSaveGrey : kel::sensor::kImageSaveColour,
                         session.text(grey ? kel::KelctlFetchingGrey : kel::KelctlFetching), tmpBin,
                         Direction::Receive, receivedSize(current.Width, current.Height));
    if (status != ExitOk)
        return status;
    if (!holdsTheImage(work.core(), tmpBin, current))
        return ExitTransferDataError;

    const QString bitmap = kel::fncConvertProcess(
        work.core(), state, grey ? kel::ImageKind::Grey : kel::ImageKind::Colour, work.tmpDir(),
        kel::kTmpBin);
    if (bitmap.isEmpty()) {
        work.core().ShowMessageOrFailure(kel::kSectionMessage, kel::MsgConversionFailed);
        return ExitFailure;
    }
    if (!bmpFiles.isEmpty()) {
        if ((status = writeCopy(work.core(), bitmap, bmpFiles.first())))
            return status;
        listWritten(bmpFiles.first());
    }
    if (!kelFiles.isEmpty()) {
        if (!kel::fncWriteFile_KEL(work.core(), state, kelFiles.first()))
            return ExitFileError;
        listWritten(kelFiles.first());
    }
    return ExitOk;
}

int runUpload(Context& context, const QStringList& args)
{
    const Arguments parsed = parseArguments(args, {{}, {}, 1, "one image file is needed"});
    int status = ExitOk;
    if (!shouldRun(parsed, kUploadUsage, status))
        return status;
    const QString input = parsed.positional.first();

    WorkFolder work(context);
    if (!work.isValid())
        return ExitFileError;
    kel::AppCore& core = work.core();
    kel::ImageState state;
    if (hasSuffix(input, "KEL")) {
        // As the window opens it: the upload file of the image, then its conversion, which
        // leaves the gain-applied mosaic that the upload starts from.
        const kel::KelConversion opened =
            kel::fncConvertKelFile(core, state, work.tmpDir(), input, kel::ImageKind::Colour);
        if (!opened)
            return opened.failure == kel::KelConversion::Failure::File ? ExitFileError
                                                                       : ExitFailure;
    } else {
        if (!kel::fncReadBmpFile(core, state, input))
            return ExitFileError;
        if (!kel::isSensorBitmap(state)) {
            core.ShowMessageOrFailure(kel::kSectionMessage, kel::MsgBitmapNotConvertible,
                                      {QDir::toNativeSeparators(input)});
            return ExitUsage;
        }
        if (!kel::fncBmpToMosaic(core, state))
            return ExitFailure;
        state.CurrentImage = state.UploadImage;
    }

    Session session(context);
    if (session.stopRequested())
        return ExitStopped;
    const QString uploadFile = work.tmpFile(kel::kTmpUpload);
    const kel::UploadPreparation prepared =
        kel::PrepareUploadFile(session.core(), kel::askOn(session.link()), state, uploadFile);
    switch (prepared.result) {
    case kel::UploadPrepared::Ready:
        break;
    case kel::UploadPrepared::Refused:
        return Session::statusOf(prepared.outcome, kel::sensor::kReplyError);
    case kel::UploadPrepared::BadValue:
        return ExitUnexpectedReply;
    case kel::UploadPrepared::Failed:
        return ExitFileError;
    }
    return session.transfer(kel::sensor::kImageLoad, session.text(kel::KelctlUploading), uploadFile,
                            Direction::Send);
}

} // namespace kelctl
