#pragma once
// The real main window, offscreen, against the simulated sensor on a pseudo-terminal; the
// operator's answers come from a script.

#include "app/StartPicture.h"
#include "app/frmMain.h"
#include "core/AppCore.h"
#include "support/KelsimFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"
#include "ui/PictureCanvas.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kel::test {

class SensorFlowTest : public ::testing::Test {
protected:
    // Starts kelsim with these options and a main window in language pointed at it.
    void start(const KelsimOptions& options = {}, const QByteArray& language = "English")
    {
        sim = std::make_unique<KelsimProcess>(options);
        ASSERT_TRUE(sim->ready()) << sim->error().toStdString();
        dir.addLanguageFiles();
        dir.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=" + language + "\r\n");
        ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
        core = std::make_unique<AppCore>(dir.paths(), prompter);
        core->endProcess = [](int) {};
        window = std::make_unique<frmMain>(*core);
        if (!productionExit)
            window->endProcess = [] {};
        window->Form_Load();
        window->show();
    }

    // The window first, so that its shutdown still finds the sensor; then kelsim, whatever the
    // test left running.
    void TearDown() override
    {
        progressPoll.reset();
        window.reset();
        sim.reset();
    }

    // The command lines kelsim received, in order.
    QStringList commands() const
    {
        QStringList lines;
        for (QByteArray line : sim->log().split('\n')) {
            if (line.startsWith("kelsim: "))
                line = line.mid(8);
            if (line.startsWith("> "))
                lines << QString::fromLatin1(line.mid(2)).trimmed();
        }
        return lines;
    }

    // Answers: question 1 Yes, then OK for the completion message.
    bool fetch(bool colour = true)
    {
        window->optSelect[colour ? 0 : 1]->setChecked(true);
        const qsizetype before = prompter.boxes.size();
        prompter.answers = {AnswerYes, AnswerOk};
        window->cmdConvert_Click();
        return prompter.boxes.size() == before + 2 &&
               prompter.boxes.last().text ==
                   core->GetMessageText(kSectionMessage, MsgCompleted).split('@').first().trimmed();
    }

    // The window shows no image: the start picture with its note, no origin, no image values.
    bool showsNoImage() const
    {
        const QImage start =
            startPicture(core->GetMessageText(kSectionLabel, LabelNoImage)).toImage();
        return window->picCnvBmp->picture() == start &&
               window->picture().origin() == PictureOrigin::None &&
               window->lblValue[5]->text().isEmpty();
    }

    // Acts once on the progress window, as soon as it is shown and underWay() holds (checked
    // every intervalMs while the operation runs). A fixed delay instead lets a loaded machine
    // run the whole transfer before the test acts.
    void onProgressWindow(std::function<bool()> underWay, std::function<void(QWidget&)> act,
                          int intervalMs = 10)
    {
        progressPoll = std::make_unique<QTimer>();
        progressPoll->setInterval(intervalMs);
        QObject::connect(progressPoll.get(), &QTimer::timeout,
                         [this, underWay = std::move(underWay), act = std::move(act)] {
                             QWidget* progress = progressWindow();
                             if (!progress || (underWay && !underWay()))
                                 return;
                             progressPoll->stop();
                             act(*progress);
                         });
        progressPoll->start();
    }
    // Clicks the progress window's stop button once the window is shown and underWay() holds.
    void stopWhen(std::function<bool()> underWay = {}, int intervalMs = 10)
    {
        onProgressWindow(
            std::move(underWay),
            [](QWidget& progress) {
                progress.findChild<QPushButton*>(QStringLiteral("btnStop"))->click();
            },
            intervalMs);
    }
    // kelsim has logged the command once more than now, and answers it at once: its transfer is
    // under way.
    std::function<bool()> sensorHeardAgain(const QString& command)
    {
        return [this, command, before = commands().count(command)] {
            return commands().count(command) > before;
        };
    }
    static QWidget* progressWindow()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("frmWait") && widget->isVisible())
                return widget;
        }
        return nullptr;
    }

    FileDialogResult chose(const QString& path) { return {true, {path}, 1}; }

    // Set before start: the window ends the application's event loop as the program does.
    bool productionExit = false;
    TempAppDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<KelsimProcess> sim;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<QTimer> progressPoll; // first to go: it looks at the window and kelsim
};

} // namespace kel::test
