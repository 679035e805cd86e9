#include "SoakJobs.h"

#include "SensorImages.h"
#include "StateFolder.h"
#include "image/ImageState.h"
#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/Xmodem.h"
#include "serial/XmodemProtocol.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace kel::soak {

namespace {

constexpr int kSizeCode = 2; // 108 rows: an image fetch is 429 blocks
constexpr int kSensorIdleTimeoutMs = 180000;
constexpr int kStoreTimeoutMs = 5000;

QByteArray padded(QByteArray file)
{
    const qsizetype rest = file.size() % serial::kBlockSize;
    if (rest != 0)
        file.append(QByteArray(serial::kBlockSize - rest, static_cast<char>(serial::kFiller)));
    return file;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A bank that names itself in its header, with a tail that never repeats within a block, so
// that a block out of place shows as a difference. Whole blocks, so that it comes back as is.
QByteArray bankContent(int number)
{
    QByteArray bank = sim::StateFolder::defaultBank(number);
    for (int i = 0; i < 256 * number; ++i)
        bank.append(static_cast<char>((i * 31 + number * 7 + i / 256) & 0xFF));
    return padded(bank);
}

QStringList kelsimArguments(const QStringList& faults, CheckMode mode)
{
    QStringList arguments = faults;
    arguments << QStringLiteral("--size-code") << QString::number(kSizeCode);
    if (mode == CheckMode::Checksum)
        arguments << QStringLiteral("--ignore-c") << QStringLiteral("--checksum-only");
    return arguments;
}

sim::ImageInfo imageInfo()
{
    sim::ImageInfo info;
    info.sizeCode = kSizeCode;
    return info;
}

// Where two files part, for the log.
QString difference(const QByteArray& got, const QByteArray& expected)
{
    qsizetype at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at])
        ++at;
    return QStringLiteral("%1 bytes where %2 were expected, first difference at byte %3")
        .arg(got.size())
        .arg(expected.size())
        .arg(at);
}

} // namespace

Tally& Tally::operator+=(const Tally& other)
{
    transfers += other.transfers;
    succeeded += other.succeeded;
    failed += other.failed;
    differ += other.differ;
    notes += other.notes;
    return *this;
}

SoakRun::SoakRun(const QStringList& faults, CheckMode mode)
    : m_sim({.arguments = kelsimArguments(faults, mode)}), m_core(m_dir.paths(), m_prompter),
      m_notices(m_core), m_link(m_notices, m_port, m_clock), m_mode(mode)
{
    m_dir.addLanguageFiles();
    m_core.lngLanguage = LanguageEnglish;
    m_core.iComPort = 1;
    m_core.strComSetting = QStringLiteral("38400,N,8,1");
    m_core.strComDevice = m_sim.device();
    m_core.strDelimiter = QStringLiteral("\r");
    m_link.line = lineConfigOf(m_core);
    for (int bank = 1; bank <= 4; ++bank)
        writeFile(m_sim.stateDir() + QStringLiteral("/bank%1.bin").arg(bank), bankContent(bank));
}

int SoakRun::sensorTransfers() const
{
    // Each line of the log starts with "kelsim: "; the end of a transfer is indented under its
    // command.
    const QByteArray log = m_sim.log();
    return int(log.count("kelsim:   sent ") + log.count("kelsim:   received "));
}

void SoakRun::waitForSensor(int before)
{
    const QDeadlineTimer deadline(kSensorIdleTimeoutMs);
    while (sensorTransfers() <= before && !deadline.hasExpired())
        QThread::msleep(20);
}

SoakRun::Outcome SoakRun::backup(const QString& command, const QByteArray& expected)
{
    const QString path = m_dir.file(QStringLiteral("received.bin"));
    QFile::remove(path);
    const int before = sensorTransfers();
    if (serial::SendCommand(m_link, command) != QLatin1String("OK"))
        return Outcome::Failed;
    const bool good = receive(path);
    waitForSensor(before);
    if (!good)
        return Outcome::Failed;
    return compare(readFile(path), padded(expected));
}

bool SoakRun::receive(const QString& path)
{
    // The program asks for CRC blocks three times, ten seconds apart, before it takes checksum
    // blocks. A sender that cannot do CRC is met with the checksum receiver at once, but for
    // the first file, so that the fall-back is part of every run without costing half an hour.
    if (m_mode == CheckMode::Crc || ++m_checksumReceives == 1)
        return bool(serial::ReceiveFile(m_link, path));
    QFile file(path);
    int code = -1;
    serial::XmAttachPort(m_link, m_port);
    try {
        serial::XmOpenPort(m_link, m_link.line);
        if (file.open(QIODevice::ReadWrite))
            code = serial::XmReceiveChecksum(m_link, file);
    } catch (const std::runtime_error&) {
        code = -1;
    }
    file.close();
    serial::XmClosePort(m_link);
    serial::XmDetachPort(m_link);
    return code == serial::XM_SUCCESS;
}

SoakRun::Outcome SoakRun::compare(const QByteArray& got, const QByteArray& expected)
{
    if (got == expected)
        return Outcome::Succeeded;
    m_difference = difference(got, expected);
    return Outcome::Differs;
}

SoakRun::Outcome SoakRun::restore(const QString& command, const QByteArray& file,
                                  const QString& stored)
{
    const QString path = m_dir.file(QStringLiteral("sent.bin"));
    writeFile(path, file);
    const int before = sensorTransfers();
    if (serial::SendCommand(m_link, command) != QLatin1String("OK"))
        return Outcome::Failed;
    const bool good = bool(serial::SendFile(m_link, path));
    waitForSensor(before);
    if (!good)
        return Outcome::Failed;
    if (stored.isEmpty())
        return Outcome::Succeeded; // an upload: the next fetch shows what the sensor kept
    // kelsim logs the end of a transfer before it stores what it took.
    const QDeadlineTimer deadline(kStoreTimeoutMs);
    while (readFile(stored) != padded(file) && !deadline.hasExpired())
        QThread::msleep(20);
    return compare(readFile(stored), padded(file));
}

void SoakRun::count(Tally& tally, const QString& job, Outcome outcome)
{
    ++tally.transfers;
    ++m_job;
    switch (outcome) {
    case Outcome::Succeeded:
        ++tally.succeeded;
        break;
    case Outcome::Failed:
        ++tally.failed;
        break;
    case Outcome::Differs:
        ++tally.differ;
        tally.notes.append(QStringLiteral("job %1 (%2) was reported good but differs: %3")
                               .arg(m_job)
                               .arg(job, m_difference));
        break;
    }
    m_prompter.boxes.clear();
}

Tally SoakRun::runJobs(Jobs jobs, int rounds)
{
    Tally tally;
    const bool backups = jobs != Jobs::Restores;
    const bool restores = jobs != Jobs::Backups;
    const sim::SensorImages sensorImages(imageInfo());
    const QByteArray colour = sensorImages.colourFile();
    // The upload is the sensor's own mosaic, so the colour image stays what it was and every
    // fetch after an upload still knows what to expect.
    QByteArray upload = colour.left(colour.size() - 2);
    upload.append(QByteArray(kSensorWidth * kUploadFileRows - upload.size(), '\0'));
    const QString state = m_sim.stateDir();
    const QString bankLoad = QStringLiteral("BANKLOAD");

    for (int round = 0; round < rounds; ++round) {
        for (int bank = 1; bank <= 4; ++bank) {
            const QString save = QStringLiteral("BANKSAVE %1").arg(bank);
            if (backups)
                count(tally, save, backup(save, bankContent(bank)));
            if (restores && bank % 2 == 1)
                count(tally, bankLoad,
                      restore(bankLoad, bankContent(bank),
                              state + QStringLiteral("/bank%1.bin").arg(bank)));
        }
        if (backups)
            count(tally, QStringLiteral("SYSSAVE"),
                  backup(QStringLiteral("SYSSAVE"), sim::StateFolder::defaultSystem()));
        if (restores)
            count(tally, QStringLiteral("SYSLOAD"),
                  restore(QStringLiteral("SYSLOAD"), sim::StateFolder::defaultSystem(),
                          state + QStringLiteral("/system.bin")));
        if (jobs != Jobs::All)
            continue;
        count(tally, QStringLiteral("IMGSAVE 0"), backup(QStringLiteral("IMGSAVE 0"), colour));
        // The grey picture changes with an upload; it is fetched before the first one only.
        if (round == 0)
            count(tally, QStringLiteral("IMGSAVE 1"),
                  backup(QStringLiteral("IMGSAVE 1"), sensorImages.greyFile()));
        count(tally, QStringLiteral("IMGLOAD"), restore(QStringLiteral("IMGLOAD"), upload, {}));
        count(tally, QStringLiteral("IMGSAVE 0 after IMGLOAD"),
              backup(QStringLiteral("IMGSAVE 0"), colour));
    }
    return tally;
}

} // namespace kel::soak
