// Names and paths of a batch: bitmap names, output paths that never hit a source file, the
// lists made from a dialog's answer, and copies that replace a file.

#include "core/FileCopy.h"
#include "files/BatchChoice.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::TempAppDir;

namespace {

TEST(BatchNames, theKelExtensionInAnyCaseBecomesBmpAndOtherNamesGetBmpAppended)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A.KEL", "A.bmp"},         {"a.kel", "a.bmp"},       {"B.Kel", "B.bmp"},
        {"X.KEL.KEL", "X.KEL.bmp"}, {"A.KELP", "A.KELP.bmp"}, {"noext", "noext.bmp"},
        {"画像.KEL", "画像.bmp"},   {".KEL", ".KEL.bmp"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(bitmapNameFor(QString::fromUtf8(name)), QString::fromUtf8(expected)) << name;
}

TEST(BatchNames, anOutputThatWouldBeItsOwnSourceGetsBmpAppended)
{
    TempAppDir dir;
    dir.write(QStringLiteral("in/a.kel"), "source");
    QDir().mkpath(dir.file(QStringLiteral("out")));
    const QString in = dir.file(QStringLiteral("in"));
    const QString source = in + "/a.kel";
    QFile::link(in, dir.file(QStringLiteral("alias")));

    struct Case {
        QString target, expected;
    };
    const Case cases[] = {
        {source, source + ".bmp"},
        {in + "/./a.kel", in + "/./a.kel.bmp"},
        {dir.file(QStringLiteral("alias/a.kel")), dir.file(QStringLiteral("alias/a.kel.bmp"))},
        {dir.file(QStringLiteral("out/a.kel")), dir.file(QStringLiteral("out/a.kel"))},
        {in + "/a.bmp", in + "/a.bmp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(avoidingSource(c.target, source), c.expected) << c.target.toStdString();
    EXPECT_EQ(bitmapPathFor(in, QStringLiteral("a.kel"), source), in + "/a.bmp");
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
