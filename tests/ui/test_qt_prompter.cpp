// Real Qt message boxes built from style numbers: buttons, default, icon and answer codes.

#include "ui/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace kel;

namespace {

// Runs inspect on the box once it is shown; inspect closes it.
int showAndInspect(int style, const std::function<void(QMessageBox*)>& inspect,
                   const QString& text = QStringLiteral("text"))
{
    QTimer::singleShot(0, [inspect] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        inspect(box);
    });
    QtPrompter prompter;
    return prompter.messageBox(text, style, QStringLiteral("Lumexa KEL TOOL"));
}

TEST(QtPrompter, yesNoQuestionWithSecondDefault)
{
    const int answer = showAndInspect(4 + 32 + 256, [](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->buttons().size(), 2);
        EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Lumexa KEL TOOL"));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(answer, AnswerYes);
}

TEST(QtPrompter, everyButtonGivesItsAnswerCode)
{
    struct Case {
        int style;
        QMessageBox::StandardButton click;
        int answer;
    };
    for (const Case& c :
         {Case{0, QMessageBox::Ok, AnswerOk}, Case{1, QMessageBox::Cancel, AnswerCancel},
          Case{2, QMessageBox::Abort, AnswerAbort}, Case{2, QMessageBox::Retry, AnswerRetry},
          Case{2, QMessageBox::Ignore, AnswerIgnore}, Case{3, QMessageBox::No, AnswerNo},
          Case{5, QMessageBox::Retry, AnswerRetry}}) {
        const int answer = showAndInspect(c.style, [&c](QMessageBox* box) {
            ASSERT_NE(box->button(c.click), nullptr) << c.style;
            box->button(c.click)->click();
        });
        EXPECT_EQ(answer, c.answer) << c.style;
    }
}

TEST(QtPrompter, escapeCancelsWhereTheBoxHasCancel)
{
    const int answer = showAndInspect(1 + 48, [](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->reject();
    });
    EXPECT_EQ(answer, AnswerCancel);
}

TEST(QtPrompter, lineBreaksAreShownAsBreaks)
{
    showAndInspect(
        64,
        [](QMessageBox* box) {
            EXPECT_EQ(box->text(), QStringLiteral("one\ntwo"));
            EXPECT_EQ(box->icon(), QMessageBox::Information);
            box->button(QMessageBox::Ok)->click();
        },
        QStringLiteral("one\r\ntwo"));
}

} // namespace

TEST(QtPrompter, aSavedNameWithoutExtensionGetsTheSelectedFiltersOne)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Bank data files (*.BNK) (*.BNK *.bnk)", "BNK"},
        {"Pictures (*.bmp *.BMP)", "bmp"},
        {"All files (*.*) (*.*)", ""},
        {"Anything (*)", ""},
        {"no pattern", ""},
    };
    for (const auto& [filter, suffix] : cases)
        EXPECT_EQ(suffixOfNameFilter(QLatin1String(filter)), QLatin1String(suffix)) << filter;
}
