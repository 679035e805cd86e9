// The status line's words for the sensor operations, in both languages.

#include "sensor/OperationStatus.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::test;

namespace {

class OperationStatusTest : public ::testing::Test {
protected:
    OperationStatusTest() { dir.addLanguageFiles(); }

    OperationOutcome ended(OperationEnd end, const char* file = "", qint64 bytes = 0,
                           quint32 ms = 0) const
    {
        const QString name = QString::fromUtf8(file);
        return {end, QDir::isAbsolutePath(name) ? name : dir.file(name), bytes, ms};
    }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core{dir.paths(), prompter};
};

TEST_F(OperationStatusTest, transferEndsInWords)
{
    const QString outside = QDir::cleanPath(dir.path() + QStringLiteral("/../elsewhere/s.STD"));
    // Paths are shown as the system writes them: BANK\bank3.BNK on Windows.
    const QString bank3 = QDir::toNativeSeparators(QStringLiteral("BANK/bank3.BNK"));
    const struct {
        Language language;
        TransferOperation operation;
        OperationOutcome outcome;
        int bank;
        QString expected;
    } cases[] = {
        {LanguageEnglish, TransferOperation::BankBackup,
         ended(OperationEnd::Succeeded, "BANK/bank3.BNK", 1024, 400), 3,
         "Bank 3 backed up to " + bank3 + ", 1,024 bytes, 0.4 s"},
        {LanguageJapanese, TransferOperation::BankBackup,
         ended(OperationEnd::Succeeded, "BANK/bank3.BNK", 1024, 400), 3,
         "バンク3を " + bank3 + " にバックアップしました (1,024 バイト、0.4 秒)"},
        {LanguageEnglish, TransferOperation::Fetch,
         ended(OperationEnd::Succeeded, "TMP/tmp.bin", 219456, 61249), 0,
         "Image fetched from the sensor, 219,456 bytes, 61.2 s"},
        {LanguageEnglish, TransferOperation::SystemRestore,
         ended(OperationEnd::Succeeded, outside.toUtf8().constData(), 128, 30), 0,
         "System data restored from " + QDir::toNativeSeparators(outside) + ", 128 bytes, 0.0 s"},
        {LanguageEnglish, TransferOperation::Fetch, ended(OperationEnd::Stopped), 0,
         "Image fetch stopped"},
        {LanguageJapanese, TransferOperation::Fetch, ended(OperationEnd::Stopped), 0,
         "画像の取得を中止しました"},
        {LanguageEnglish, TransferOperation::BankBackup, ended(OperationEnd::Failed), 8,
         "Bank 8 backup failed"},
        {LanguageJapanese, TransferOperation::Upload, ended(OperationEnd::Failed), 0,
         "画像の転送に失敗しました"},
        {LanguageEnglish, TransferOperation::BankRestore, ended(OperationEnd::NotRun), 0, ""},
    };
    for (const auto& c : cases) {
        core.lngLanguage = c.language;
        EXPECT_EQ(transferStatus(core, c.operation, c.outcome, c.bank).toStdString(),
                  c.expected.toStdString());
    }
}

TEST_F(OperationStatusTest, awaitedRepliesAreNamedInWords)
{
    const struct {
        Language language;
        const char* command;
        QString expected;
    } cases[] = {
        {LanguageEnglish, "BANKSAVE 3",
         "Waiting for the sensor's reply to the backup of bank 3..."},
        {LanguageEnglish, "IMGINFO 0 4",
         "Waiting for the sensor's reply to the image information query..."},
        {LanguageEnglish, "IMGSAVE 1", "Waiting for the sensor's reply to the image fetch..."},
        {LanguageEnglish, "DATAGET 2 1",
         "Waiting for the sensor's reply to the measured value query..."},
        {LanguageEnglish, " M ", "Waiting for the sensor's reply to the measurement..."},
        {LanguageEnglish, "RESET 5", "Waiting for the sensor's reply to the command RESET 5..."},
        {LanguageJapanese, "M /C", "センサの応答を待っています (連続測定の開始)..."},
        {LanguageJapanese, "SYSLOAD", "センサの応答を待っています (システムデータの復元)..."},
    };
    for (const auto& c : cases) {
        core.lngLanguage = c.language;
        EXPECT_EQ(waitingStatus(core, QLatin1String(c.command)), c.expected) << c.command;
    }
}

TEST(LineDescription, deviceParametersAndDelimiterInShortForm)
{
#ifdef Q_OS_WIN
    const QString device = QStringLiteral("COM3");
#else
    const QString device = QStringLiteral("/dev/ttyS2");
#endif
    const struct {
        const char* setting;
        QByteArray delimiter;
        const char* expected;
    } cases[] = {
        {"38400,N,8,1", "\r", " 38400 8N1 CR"},
        {"19200,E,7,2", "\r\n", " 19200 7E2 CR LF"},
        {"9600, o ,8,1.5", "\n", " 9600 8O1.5 LF"},
        {"fast", "\r", " fast CR"},
    };
    for (const auto& c : cases) {
        serial::LineConfig line;
        line.port = 3;
        line.setting = QLatin1String(c.setting);
        line.delimiter = c.delimiter;
        EXPECT_EQ(lineDescription(line), device + QLatin1String(c.expected)) << c.setting;
    }
    // A network device on every platform; raw TCP leaves the line to the server.
    serial::LineConfig line;
    line.port = 3;
    line.device = QStringLiteral("rfc2217://plant-a:4001");
    EXPECT_EQ(lineDescription(line), QStringLiteral("rfc2217://plant-a:4001 38400 8N1 CR"));
    line.device = QStringLiteral("tcp://10.0.0.7:23");
    EXPECT_EQ(lineDescription(line), QStringLiteral("tcp://10.0.0.7:23 CR"));
}

} // namespace
