// The folder pickers: the lists they show, what their confirm buttons hand over, the drive
// change that cannot read its drive, typed folders, where they start, and cancelling.

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
#include <QLineEdit>
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

TEST_F(PickerTest, onlyFoldersAndFilesAreListedNotLinksToDevices)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "links to devices are made by Unix systems";
#endif
    const QString links = files.file(QStringLiteral("links"));
    files.write(QStringLiteral("links/real/F.KEL"), "x");
    files.write(QStringLiteral("links/G.KEL"), "x");
    for (const auto& [target, name] : {std::pair{QStringLiteral("/dev/null"), "device"},
                                       {QStringLiteral("/dev/null"), "device.KEL"},
                                       {links + "/real", "to-folder"},
                                       {links + "/G.KEL", "to-file.KEL"}})
        ASSERT_TRUE(QFile::link(target, links + '/' + QLatin1String(name))) << name;
    QDir::setCurrent(links);
    frmDirSearch picker(core, choice);
    picker.Form_Load();
    QStringList listed;
    for (int row = rowOf(picker.Dir1, links) + 1; row < picker.Dir1->count(); ++row)
        listed << picker.Dir1->item(row)->text();
    EXPECT_EQ(listed, (QStringList{"real", "to-folder"}));
    EXPECT_EQ(picker.File1->names(), (QStringList{"G.KEL", "to-file.KEL"}));
}

// Whether clicked in the list or typed: the folder stays as it was, and the operator is told
// in the window's language.
TEST_F(PickerTest, folderThatCannotBeOpenedIsRefusedInTheWindowsLanguage)
{
    struct Case {
        const char* what;
        QString folder;
        bool typed;
        const char* told;
    };
    const QString gone = work() + "/empty";
    for (const Case& c :
         {Case{"typed, missing", work() + "/nowhere", true, "存在しません"},
          Case{"typed, a file", work() + "/note.txt", true, "フォルダではありません"},
          Case{"clicked, removed since", gone, false, "存在しません"}}) {
        frmDirSave picker(core, choice);
        picker.Form_Load();
        prompter.boxes.clear();
        if (c.typed) {
            picker.txtPath->setText(QDir::toNativeSeparators(c.folder));
            picker.cmdSave->click();
        } else {
            const int row = rowOf(picker.Dir1, gone);
            QDir(gone).removeRecursively();
            picker.Dir1_Click(row);
        }
        ASSERT_EQ(prompter.boxes.size(), 1) << c.what;
        EXPECT_TRUE(prompter.boxes[0].text.contains(QDir::toNativeSeparators(c.folder))) << c.what;
        EXPECT_TRUE(prompter.boxes[0].text.contains(QString::fromUtf8(c.told)))
            << c.what << ": " << prompter.boxes[0].text.toStdString();
        EXPECT_EQ(picker.Dir1->path(), work()) << c.what;
        EXPECT_FALSE(choice.blnDirSelected) << c.what;
    }
}

TEST_F(PickerTest, typedFolderOpensOnEnterAndPickersStartWhereTheLastChoiceWas)
{
    const QString sub = work() + "/sub";
    {
        frmDirSearch picker(core, choice);
        picker.Form_Load();
        picker.show();
        QApplication::setActiveWindow(&picker);
        picker.txtPath->setFocus();
        picker.txtPath->setText(QStringLiteral("sub")); // relative to the folder shown
        QTest::keyClick(picker.txtPath, Qt::Key_Return);
        EXPECT_EQ(picker.Dir1->path(), sub);
        EXPECT_EQ(picker.File1->names(), QStringList{"D.KEL"});
        EXPECT_FALSE(choice.blnDirSelected); // Enter opened the folder, it chose nothing
        QTest::keyClick(picker.txtPath, Qt::Key_Return);
        EXPECT_TRUE(choice.blnDirSelected);
    }
    choice.blnDirSelected = false;
    {
        frmDirSave picker(core, choice);
        picker.txtPath->setText(QDir::toNativeSeparators(work() + "/empty"));
        picker.cmdSave->click(); // a typed folder is taken without Enter too
        EXPECT_EQ(QDir::fromNativeSeparators(choice.strSaveDir), work() + "/empty/");
    }
    frmDirSearch search(core, choice);
    EXPECT_EQ(search.Dir1->path(), sub);
    EXPECT_EQ(search.txtPath->text(), QDir::toNativeSeparators(sub));
    frmDirSave save(core, choice);
    EXPECT_EQ(save.Dir1->path(), work() + "/empty");
    QDir(sub).removeRecursively(); // a folder gone since: the current folder, without a word
    prompter.boxes.clear();
    EXPECT_EQ(frmDirSearch(core, choice).Dir1->path(), work());
    EXPECT_TRUE(prompter.boxes.isEmpty());
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
