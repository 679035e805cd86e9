// The running program ends through its own shutdown when the system asks it to end.

#include "support/TempAppDir.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using kel::test::TempAppDir;

namespace {

bool waitFor(const std::function<bool()>& condition, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

class ShutdownSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(ShutdownSignalTest, deletesTemporaryFilesAndRewritesTheLanguage)
{
    // A fresh copy of the application folder, as an operator would make one.
    TempAppDir dir;
    dir.addLanguageFiles();
    ASSERT_TRUE(QFile::copy(QStringLiteral(KEL_APP_BIN_DIR "/keltool"),
                            dir.file(QStringLiteral("keltool"))));
    dir.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=German\r\n");
    dir.write(QStringLiteral("TMP/tmp.bmp"), "left over");

    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"),
               QStringLiteral("C")); // the user's language is not Japanese
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(dir.file(QStringLiteral("keltool")), {});
    ASSERT_TRUE(tool.waitForStarted());

    // Start-up is over once the communication keys are written and the leftover is gone.
    ASSERT_TRUE(waitFor([&] {
        return dir.read(QStringLiteral("Setting.ini")).contains("Delimitr=0") &&
               !QFileInfo::exists(dir.file(QStringLiteral("TMP/tmp.bmp")));
    }));
    EXPECT_TRUE(dir.read(QStringLiteral("Setting.ini")).contains("Language=German"));
    dir.write(QStringLiteral("TMP/tmp.bin"), "raw");
    dir.write(QStringLiteral("TMP/tmp_2.bin"), "upload");
    dir.write(QStringLiteral("TMP/keep.txt"), "other");
    QThread::msleep(300); // let the window come up and sit idle

    ::kill(static_cast<pid_t>(tool.processId()), GetParam());
    ASSERT_TRUE(tool.waitForFinished(20000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("TMP/tmp.bin"))));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("TMP/tmp_2.bin"))));
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("TMP/keep.txt"))));
    EXPECT_EQ(dir.read(QStringLiteral("Setting.ini")),
              QByteArray("[OPERATION]\r\nLanguage=English\r\n"
                         "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"));
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, ShutdownSignalTest,
                         ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
