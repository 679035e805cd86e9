// Names and paths of a batch: bitmap names, output paths that never hit a source file, the
// lists made from a dialog's answer, and copies that replace a file.

#include "files/BatchChoice.h"
#include "files/FileCopy.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::TempAppDir;

namespace {

TEST(BatchNames, everyUpperCaseKelBecomesBmpAndNothingElseChanges)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A.KEL", "A.bmp"},         {"a.kel", "a.kel"},   {"B.Kel", "B.Kel"},
        {"X.KEL.KEL", "X.bmp.bmp"}, {"A.KELP", "A.bmpP"}, {"noext", "noext"},
        {"画像.KEL", "画像.bmp"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(bitmapNameFor(QString::fromUtf8(name)), QString::fromUtf8(expected)) << name;
}

TEST(BatchNames, anOutputThatWouldBeItsOwnSourceGetsBmpAppended)
{
    TempAppDir dir;
    dir.write(QStringLiteral("in/a.kel"), "source");
    dir.write(QStringLiteral("in/A.KEL"), "source");
    dir.write(QStringLiteral("in/plain"), "source");
    QDir().mkpath(dir.file(QStringLiteral("out")));
    const QString in = dir.file(QStringLiteral("in"));
    const QString out = dir.file(QStringLiteral("out"));
    QFile::link(in, dir.file(QStringLiteral("alias")));

    struct Case {
        QString folder, name, expected;
    };
    const Case cases[] = {
        {in, "a.kel", in + "/a.kel.bmp"},
        {in, "plain", in + "/plain.bmp"},
        {in + "/", "plain", in + "/plain.bmp"},
        {dir.file(QStringLiteral("alias")), "plain", dir.file(QStringLiteral("alias/plain.bmp"))},
        {in, "A.KEL", in + "/A.bmp"},
        {out, "a.kel", out + "/a.kel"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bitmapPathFor(c.folder, c.name, in + "/" + c.name), c.expected)
            << c.folder.toStdString() << " " << c.name.toStdString();
}

TEST(BatchNames, folderGetsOneTrailingSeparator)
{
    EXPECT_EQ(folderWithSeparator(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderWithSeparator(QStringLiteral("/img")), QStringLiteral("/img/"));
    EXPECT_EQ(folderWithSeparator(QStringLiteral("/img/")), QStringLiteral("/img/"));
}

TEST(BatchNames, dialogAnswerFillsBothListsAndReplacesTheOldChoice)
{
    BatchChoice choice;
    choice.strConvFileName = {"old.KEL", "older.KEL", "oldest.KEL"};
    choice.strConvFilePath = {"/o/old.KEL", "/o/older.KEL", "/o/oldest.KEL"};

    takeChosenFiles(choice, QStringLiteral("/img/A.KEL"), QStringLiteral("A.KEL"));
    EXPECT_EQ(choice.strConvFileName, QStringList{"A.KEL"});
    EXPECT_EQ(choice.strConvFilePath, QStringList{"/img/A.KEL"});

    const QChar nul(0);
    takeChosenFiles(choice, QStringLiteral("/img") + nul + "B.KEL" + nul + "A.KEL", QString());
    EXPECT_EQ(choice.strConvFileName, (QStringList{"B.KEL", "A.KEL"}));
    EXPECT_EQ(choice.strConvFilePath, (QStringList{"/img/B.KEL", "/img/A.KEL"}));

    takeChosenFiles(choice, QStringLiteral("/") + nul + "A.KEL" + nul + "B.KEL", QString());
    EXPECT_EQ(choice.strConvFilePath, (QStringList{"/A.KEL", "/B.KEL"}));
}

TEST(FileCopy, replacesALongerFileWholeAndLeavesItAloneWhenTheCopyFails)
{
    TempAppDir dir;
    dir.write(QStringLiteral("new"), "short");
    dir.write(QStringLiteral("old"), QByteArray(100000, 'x'));
    QString failure;
    ASSERT_TRUE(replaceWithCopy(dir.file(QStringLiteral("new")), dir.file(QStringLiteral("old")),
                                &failure));
    EXPECT_EQ(dir.read(QStringLiteral("old")), "short");

    EXPECT_FALSE(replaceWithCopy(dir.file(QStringLiteral("missing")),
                                 dir.file(QStringLiteral("old")), &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("missing")));
    EXPECT_EQ(dir.read(QStringLiteral("old")), "short");

    EXPECT_FALSE(replaceWithCopy(dir.file(QStringLiteral("new")),
                                 dir.file(QStringLiteral("no/such/folder/x")), &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("folder")));
}

TEST(FileCopy, aFileCopiedOntoItselfKeepsItsContents)
{
    TempAppDir dir;
    dir.write(QStringLiteral("same"), "contents");
    QString failure;
    EXPECT_TRUE(replaceWithCopy(dir.file(QStringLiteral("same")),
                                dir.file(QStringLiteral("./same")), &failure));
    EXPECT_EQ(dir.read(QStringLiteral("same")), "contents");
}

} // namespace
