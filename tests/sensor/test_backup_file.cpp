// Backups replace the chosen file only when the transfer succeeded.

#include "sensor/BackupFile.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::TempAppDir;

namespace {

QStringList entries(const TempAppDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void writeTo(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write(bytes);
}

TEST(BackupFile, successfulTransferReplacesTheOldBackup)
{
    TempAppDir dir;
    dir.write(QStringLiteral("B1.BNK"), "old backup, longer than the new one");
    {
        BackupFile target(dir.file(QStringLiteral("B1.BNK")));
        ASSERT_FALSE(target.receivePath().isEmpty());
        EXPECT_EQ(QFileInfo(target.receivePath()).path(), dir.path()); // same folder: one rename
        writeTo(target.receivePath(), "new");
        EXPECT_TRUE(target.commit());
    }
    EXPECT_EQ(dir.read(QStringLiteral("B1.BNK")), QByteArray("new"));
    EXPECT_EQ(entries(dir), QStringList{"B1.BNK"});
}

TEST(BackupFile, failedOrStoppedTransferLeavesTheOldBackupAndNoLitter)
{
    TempAppDir dir;
    dir.write(QStringLiteral("SYS.STD"), "good old backup");
    {
        BackupFile target(dir.file(QStringLiteral("SYS.STD")));
        writeTo(target.receivePath(), "half a transf");
        // no commit: the transfer failed
    }
    EXPECT_EQ(dir.read(QStringLiteral("SYS.STD")), QByteArray("good old backup"));
    EXPECT_EQ(entries(dir), QStringList{"SYS.STD"});
}

TEST(BackupFile, newBackupGetsOrdinaryPermissionsAndAnOldOneKeepsItsOwn)
{
    TempAppDir dir;
    {
        BackupFile target(dir.file(QStringLiteral("new.BNK")));
        ASSERT_TRUE(target.commit());
    }
    EXPECT_TRUE(QFile::permissions(dir.file(QStringLiteral("new.BNK"))) & QFileDevice::ReadOther);

    dir.write(QStringLiteral("mine.BNK"), "x");
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile::setPermissions(dir.file(QStringLiteral("mine.BNK")), own);
    {
        BackupFile target(dir.file(QStringLiteral("mine.BNK")));
        ASSERT_TRUE(target.commit());
    }
    EXPECT_EQ(QFile::permissions(dir.file(QStringLiteral("mine.BNK"))) & 0x7077,
              own & 0x7077); // owner, group, others
}

TEST(BackupFile, folderThatCannotTakeFilesIsReported)
{
    BackupFile target(QStringLiteral("/nonexistent-folder/B.BNK"));
    EXPECT_TRUE(target.receivePath().isEmpty());
    EXPECT_FALSE(target.error().isEmpty());
}

} // namespace
