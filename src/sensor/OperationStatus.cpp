#include "sensor/OperationStatus.h"
#include "core/Delimiter.h"
#include "core/StatusWords.h"
#include "sensor/SensorProtocol.h"
#include "serial/DeviceNames.h"
#include "serial/LineSettings.h"
#include "serial/NetAddress.h"

#include <QRegularExpression>

namespace kel {

namespace {

struct TransferTexts {
    int name;      // for "stopped" and "failed"
    int succeeded; // the success text
    bool hasFile;  // the success text names the file
};

TransferTexts textsOf(TransferOperation operation)
{
    switch (operation) {
    case TransferOperation::Fetch:
        return {StatusNameFetch, StatusFetched, false};
    case TransferOperation::Upload:
        return {StatusNameUpload, StatusUploaded, false};
    case TransferOperation::BankBackup:
        return {StatusNameBankBackup, StatusBankBackedUp, true};
    case TransferOperation::BankRestore:
        return {StatusNameBankRestore, StatusBankRestored, true};
    case TransferOperation::SystemBackup:
        return {StatusNameSystemBackup, StatusSystemBackedUp, true};
    case TransferOperation::SystemRestore:
        return {StatusNameSystemRestore, StatusSystemRestored, true};
    case TransferOperation::SetBackup:
        return {StatusNameSetBackup, StatusSetBackedUp, true};
    case TransferOperation::SetRestore:
        return {StatusNameSetRestore, StatusSetRestored, true};
    }
    return {StatusNameFetch, StatusFetched, false};
}

} // namespace

QString transferStatus(const AppCore& core, TransferOperation operation,
                       const OperationOutcome& outcome, int bank)
{
    const TransferTexts texts = textsOf(operation);
    const bool bankBackup = operation == TransferOperation::BankBackup;
    switch (outcome.end) {
    case OperationEnd::NotRun:
        return {};
    case OperationEnd::Stopped:
    case OperationEnd::Failed: {
        const QString name = statusText(
            core, texts.name, bankBackup ? QStringList{QString::number(bank)} : QStringList{});
        const int how = outcome.end == OperationEnd::Stopped ? StatusStopped : StatusFailed;
        return statusText(core, how, {name});
    }
    case OperationEnd::Succeeded:
        break;
    }
    QStringList arguments;
    if (bankBackup)
        arguments << QString::number(bank);
    if (texts.hasFile)
        arguments << shownPath(core.paths(), outcome.file);
    arguments << byteCount(core, outcome.bytes) << secondsOf(core, outcome.elapsedMs);
    return statusText(core, texts.succeeded, arguments);
}

QString commandWords(const AppCore& core, const QString& command)
{
    const QString sent = command.trimmed();
    static const QRegularExpression bankSave(QStringLiteral("^BANKSAVE (\\d+)$"));
    QString words;
    if (const QRegularExpressionMatch match = bankSave.match(sent); match.hasMatch()) {
        words = statusText(core, StatusWaitBankBackup, {match.captured(1)});
    } else if (sent.startsWith(QLatin1String("IMGINFO "))) {
        words = statusText(core, StatusWaitImageInfo);
    } else {
        const std::pair<QString, int> named[] = {
            {sensor::kImageSaveColour, StatusWaitFetch},
            {sensor::kImageSaveGrey, StatusWaitFetch},
            {sensor::kImageLoad, StatusWaitUpload},
            {sensor::kBankLoad, StatusWaitBankRestore},
            {sensor::kSystemSave, StatusWaitSystemBackup},
            {sensor::kSystemLoad, StatusWaitSystemRestore},
            {sensor::kMeasure, StatusWaitMeasure},
            {sensor::kMeasureContinuous, StatusWaitContinuousStart},
            {sensor::kMeasureEnd, StatusWaitContinuousEnd},
            {sensor::kMeasureOther, StatusWaitCapture},
            {sensor::kResultCode, StatusWaitJudgement},
            {sensor::kResultValue, StatusWaitValue},
        };
        for (const auto& [text, number] : named) {
            if (sent == text)
                words = statusText(core, number);
        }
        if (words.isEmpty())
            words = statusText(core, StatusWaitCommand, {sent});
    }
    return words;
}

QString waitingStatus(const AppCore& core, const QString& command)
{
    return statusText(core, StatusWaiting, {commandWords(core, command)});
}

QString lineDescription(const serial::LineConfig& line)
{
    QString device = serial::deviceForPort(line.port, line.device);
    if (device.isEmpty())
        device = QString::number(line.port);
    QString parameters = line.setting;
    const std::optional<serial::NetAddress> address = serial::parseNetDevice(device);
    if (address && address->protocol == serial::NetProtocol::RawTcp)
        parameters.clear(); // raw bytes: the line is as the server has it, not as set here
    else if (const std::optional<serial::LineSettings> settings =
                 serial::parseLineSettings(line.setting)) {
        const char parity[] = {'N', 'O', 'E', 'M', 'S'};
        const char* stop = settings->stopBits == serial::StopBits::One          ? "1"
                           : settings->stopBits == serial::StopBits::OneAndHalf ? "1.5"
                                                                                : "2";
        parameters = QStringLiteral("%1 %2%3%4")
                         .arg(settings->baudRate)
                         .arg(settings->dataBits)
                         .arg(QLatin1Char(parity[static_cast<int>(settings->parity)]))
                         .arg(QLatin1String(stop));
    }
    QString text = parameters.isEmpty() ? device : device + QLatin1Char(' ') + parameters;
    if (const std::optional<Delimiter> delimiter =
            delimiterOfCharacters(QString::fromLatin1(line.delimiter)))
        text += QLatin1Char(' ') + nameOf(*delimiter);
    return text;
}

} // namespace kel
