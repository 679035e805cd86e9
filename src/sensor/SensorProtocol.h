#pragma once
// The sensor's vocabulary: the commands it takes, the replies it gives, its image size codes
// and its measurement result codes.

#include <QString>
#include <QStringList>
#include <optional>

namespace kel::sensor {

// ---- Replies.
inline const QString kReplyOk = QStringLiteral("OK");
inline const QString kReplyError = QStringLiteral("ER");

// ---- The image the sensor holds: "IMGINFO 0 n" asks for item n.
enum ImageInfoItem : int {
    InfoArrangement = 0, // colour arrangement of the mosaic
    InfoGainRed = 1,     // gains in percent above unity
    InfoGainGreen = 2,
    InfoGainBlue = 3,
    InfoSizeCode = 4,
};
constexpr int kImageInfoCount = 5;
inline QString imageInfoCommand(int item)
{
    return QStringLiteral("IMGINFO 0 %1").arg(item);
}

// Size code 0, 1 or 2: 432, 216 or 108 rows; nothing for any other code.
std::optional<int> rowsOfSizeCode(int sizeCode);

// ---- Transfers: each command answered "OK" is followed by an XMODEM transfer.
inline const QString kImageSaveColour = QStringLiteral("IMGSAVE 0"); // the sensor sends
inline const QString kImageSaveGrey = QStringLiteral("IMGSAVE 1");
inline const QString kImageLoad = QStringLiteral("IMGLOAD"); // the sensor receives
inline QString bankSaveCommand(int bank)
{
    return QStringLiteral("BANKSAVE %1").arg(bank);
}
inline const QString kBankLoad = QStringLiteral("BANKLOAD");
inline const QString kSystemSave = QStringLiteral("SYSSAVE");
inline const QString kSystemLoad = QStringLiteral("SYSLOAD");
constexpr int kBankCount = 8;

// ---- Measurement.
inline const QString kMeasure = QStringLiteral("M");
inline const QString kMeasureOther = QStringLiteral("M /I");
inline const QString kMeasureContinuous = QStringLiteral("M /C");
inline const QString kMeasureEnd = QStringLiteral("M /E");
inline const QString kResultCode = QStringLiteral("DATAGET 2 0");
inline const QString kResultValue = QStringLiteral("DATAGET 2 1");

// The result codes "-2" (error), "-1" (NG) and "0" (OK), in this order.
inline const QStringList kResultCodes = {QStringLiteral("-2"), QStringLiteral("-1"),
                                         QStringLiteral("0")};
// The label text naming a result code; nothing for a code the sensor does not give.
std::optional<int> resultLabelOf(const QString& code);

} // namespace kel::sensor
