// The folder pickers: the lists they show, what their confirm buttons hand over, the drive
// change that cannot read its drive, and cancelling.

#include "FilesTestSupport.h"
#include "core/AppCore.h"
#include "files/BatchChoice.h"
#include "files/FolderLists.h"
#include "files/frmDirSave.h"
#include "files/frmDirSearch.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ActingPrompter;
using kel::test::TempAppDir;

namespace {

class PickerTest : public ::testing::Test {
protected:
    PickerTest()
    {
        app.addLanguageFiles();
        core.userDefaultLangId = [] { return 1041; };
        for (const char* name :
             {"work/b.KEL", "work/A.KEL", "work/c.kel", "work/.hidden.KEL", "work/note.txt",
              "work/x.bmp", "work/sub/D.KEL", "work/empty/.keep"})
            files.write(QLatin1String(name), "x");
        m_previous = QDir::currentPath();
        QDir::setCurrent(work());
    }
    ~PickerTest() override { QDir::setCurrent(m_previous); }

    QString work() const { return files.file(QStringLiteral("work")); }
    int rowOf(const DirList* list, const QString& path) const
    {
        for (int i = 0; i < list->count(); ++i)
            if (list->pathAt(i) == path)
                return i;
        return -1;
    }

    TempAppDir app;
    TempAppDir files;
    ActingPrompter prompter;
    AppCore core{app.paths(), prompter};
    BatchChoice choice;

private:
    QString m_previous;
};

TEST_F(PickerTest, searchListsTheSensorFilesOfTheCurrentFolderAndHandsThemAllOver)
{
    frmDirSearch picker(core, choice);
    picker.Form_Load();
    EXPECT_EQ(picker.Dir1->path(), work());
    EXPECT_EQ(picker.File1->names(), (QStringList{"A.KEL", "b.KEL", "c.kel"}));
    EXPECT_TRUE(picker.cmdOpen->isEnabled());
    EXPECT_EQ(picker.cboPattern->currentText(), core.GetMessageText(kSectionLabel, 52));
    EXPECT_EQ(picker.cmdOpen->text(), QStringLiteral("開く"));

    choice.strConvFileName = {"stale"};
    picker.cmdOpen->click();
    EXPECT_TRUE(choice.blnDirSelected);
    EXPECT_EQ(choice.strConvFileName, (QStringList{"A.KEL", "b.KEL", "c.kel"}));
    EXPECT_EQ(choice.strConvFilePath,
              (QStringList{work() + "/A.KEL", work() + "/b.KEL", work() + "/c.kel"}));
    EXPECT_EQ(picker.result(), QDialog::Accepted);
}

TEST_F(PickerTest, oneClickOpensAFolderAndTheOpenButtonFollowsItsFiles)
{
    frmDirSearch picker(core, choice);
    picker.Form_Load();

    picker.Dir1_Click(rowOf(picker.Dir1, work() + "/empty"));
    EXPECT_EQ(picker.Dir1->path(), work() + "/empty");
    EXPECT_TRUE(picker.File1->names().isEmpty());
    EXPECT_FALSE(picker.cmdOpen->isEnabled());

    picker.Dir1_Click(rowOf(picker.Dir1, work())); // the parent, listed above
    picker.Dir1_Click(rowOf(picker.Dir1, work() + "/sub"));
    EXPECT_EQ(picker.File1->names(), QStringList{"D.KEL"});
    EXPECT_TRUE(picker.cmdOpen->isEnabled());
}

TEST_F(PickerTest, folderWithoutSensorFilesStartsWithOpenDisabled)
{
    QDir::setCurrent(work() + "/empty");
    frmDirSearch picker(core, choice);
    picker.Form_Load();
    EXPECT_FALSE(picker.cmdOpen->isEnabled());
}

TEST_F(PickerTest, unreadableDriveAsksRetryOrCancel)
{
    const QString medium = files.file(QStringLiteral("medium"));
    for (bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "retry" : "cancel");
        QDir(medium).removeRecursively();
        frmDirSearch picker(core, choice);
        picker.Form_Load();
        {
            const QSignalBlocker quiet(picker.Drive1);
            picker.Drive1->setDrives({medium, QDir::rootPath()});
            picker.Drive1->setDriveOf(work());
        }
        prompter.boxes.clear();
        prompter.answers = {retry ? AnswerRetry : AnswerCancel, AnswerCancel};
        // The medium is there by the time the operator answers Retry.
        prompter.beforeAnswer = [&] {
            if (retry)
                files.write(QStringLiteral("medium/E.KEL"), "x");
        };
        picker.Drive1->setCurrentIndex(0);

        ASSERT_GE(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].style, 69);
        EXPECT_EQ(prompter.boxes[0].title, kAppTitle);
        EXPECT_TRUE(prompter.boxes[0].text.contains(QDir::toNativeSeparators(medium)));
        EXPECT_EQ(prompter.boxes.size(), 1);
        if (retry) {
            EXPECT_EQ(picker.Dir1->path(), medium);
            EXPECT_EQ(picker.File1->names(), QStringList{"E.KEL"});
            EXPECT_EQ(picker.Drive1->drive(), medium);
        } else {
            EXPECT_EQ(picker.Dir1->path(), work());
            EXPECT_EQ(picker.Drive1->drive(), QDir::rootPath());
            EXPECT_TRUE(picker.cmdOpen->isEnabled());
        }
        prompter.beforeAnswer = nullptr;
    }
}

TEST_F(PickerTest, saveHandsOverTheFolderWithASeparatorWhateverBitmapsItHolds)
{
    frmDirSave picker(core, choice);
    picker.Form_Load();
    EXPECT_EQ(picker.File1->names(), QStringList{"x.bmp"});
    EXPECT_EQ(picker.cboPattern->currentText(), QStringLiteral("*.bmp"));
    EXPECT_EQ(picker.cmdSave->text(), QStringLiteral("保存"));
    picker.cmdSave->click();
    EXPECT_TRUE(choice.blnDirSelected);
    EXPECT_EQ(choice.strSaveDir, work() + "/");

    frmDirSave atRoot(core, choice);
    atRoot.Dir1->setPath(QDir::rootPath(), nullptr);
    atRoot.cmdSave_Click();
    EXPECT_EQ(choice.strSaveDir, QDir::rootPath());
}

TEST_F(PickerTest, cancelEscapeAndClosingHandNothingOver)
{
    for (int way = 0; way < 3; ++way) {
        frmDirSave picker(core, choice);
        picker.Form_Load();
        picker.show();
        if (way == 0)
            picker.cmdCancel->click();
        else if (way == 1)
            QTest::keyClick(&picker, Qt::Key_Escape);
        else
            picker.close();
        EXPECT_FALSE(picker.isVisible()) << way;
        EXPECT_FALSE(choice.blnDirSelected) << way;
        EXPECT_TRUE(choice.strSaveDir.isEmpty()) << way;
    }
}

TEST_F(PickerTest, enterConfirms)
{
    frmDirSearch picker(core, choice);
    picker.Form_Load();
    picker.show();
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_TRUE(choice.blnDirSelected);
}

TEST(DriveList, chosenDriveIsTheLongestRootThatHoldsThePath)
{
    DriveList drives;
    drives.setDrives({"/", "/media/usb", "/media/usb2"});
    for (const auto& [path, drive] : {std::pair{"/media/usb2/x", "/media/usb2"},
                                      {"/media/usb", "/media/usb"},
                                      {"/media/usbstick", "/"},
                                      {"/home", "/"}}) {
        drives.setDriveOf(QString::fromLatin1(path));
        EXPECT_EQ(drives.drive(), QString::fromLatin1(drive)) << path;
    }
    EXPECT_TRUE(DriveList::platformDrives().contains(QDir::rootPath()));
}

} // namespace
