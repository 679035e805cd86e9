// What kelctl prints for a script: its version, one line per error, and the files it wrote.

#include "KelctlTestSupport.h"

#include "core/VersionText.h"
#include "support/KelsimFixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kel::test;

namespace {

class KelctlOutput : public KelsimTest {};

TEST_F(KelctlOutput, versionIsTheAboutBoxVersion)
{
    const KelctlResult run = sim->kelctl({"--version"});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(QString::fromLatin1(run.out),
              kel::versionLine(QStringLiteral("kelctl"), kel::programVersion()) + '\n');
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(KelctlOutput, anErrorIsOneLineAndOnlyWrongArgumentsAddTheUsage)
{
    ASSERT_TRUE(writeBytes(sim->file("short.KEL"), QByteArray(40, '\1')));
    const struct {
        QStringList args;
        int status;
        bool usage;
    } cases[] = {
        {{"--device", sim->file("no-such-device"), "info"}, kStatusPort, false},
        {{"convert", "short.KEL", "out.bmp"}, kStatusFile, false}, // a file's name and its fault
        {{"bank", "load", "missing.BNK"}, kStatusFile, false},
        {{"bank", "save", "9", "x.BNK"}, kStatusUsage, true},
        {{"result", "extra"}, kStatusUsage, true},
        {{"no-such-subcommand"}, kStatusUsage, true},
    };
    for (const auto& c : cases) {
        const KelctlResult run = sim->kelctl(c.args);
        const std::string what = c.args.join(' ').toStdString() + ": " + describe(run);
        EXPECT_EQ(run.status, c.status) << what;
        EXPECT_TRUE(run.out.isEmpty()) << what;
        const QList<QByteArray> lines = run.err.split('\n');
        EXPECT_TRUE(run.err.startsWith("kelctl: ")) << what;
        if (c.usage)
            EXPECT_TRUE(lines.value(1).startsWith("usage: ")) << what;
        else
            EXPECT_EQ(run.err.count('\n'), 1) << what;
    }
}

TEST_F(KelctlOutput, everyCommandThatWritesFilesListsThemOnStdout)
{
    ASSERT_EQ(sim->kelctl({"fetch", "first.KEL"}).status, 0);
    const struct {
        QStringList args;
        QStringList written;
    } cases[] = {
        {{"fetch", "a.KEL", "a.bmp"}, {"a.bmp", "a.KEL"}},
        {{"fetch", "--grey", "g.bmp"}, {"g.bmp"}},
        {{"convert", "first.KEL", "c.bmp"}, {"c.bmp"}},
        {{"convert", "--out", "out", "first.KEL"}, {"out/first.bmp"}},
        {{"import", "c.bmp", "i.KEL"}, {"i.KEL"}},
        {{"bank", "save", "2", "b2.BNK"}, {"b2.BNK"}},
        {{"system", "save", "s.STD"}, {"s.STD"}},
    };
    for (const auto& c : cases) {
        const KelctlResult run = sim->kelctl(c.args);
        const std::string what = c.args.join(' ').toStdString() + ": " + describe(run);
        EXPECT_EQ(run.status, 0) << what;
        EXPECT_EQ(QString::fromLocal8Bit(run.out), c.written.join('\n') + '\n') << what;
        for (const QString& file : c.written)
            EXPECT_TRUE(QFile::exists(sim->file(file))) << what;
    }
    // Loading and measuring write no file, and list none.
    for (const QStringList& args :
         {QStringList{"upload", "first.KEL"}, QStringList{"bank", "load", "b2.BNK"}}) {
        const KelctlResult run = sim->kelctl(args);
        EXPECT_EQ(run.status, 0) << describe(run);
        EXPECT_TRUE(run.out.isEmpty()) << describe(run);
    }
}

} // namespace
