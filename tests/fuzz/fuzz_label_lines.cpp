// Label files of any content applied to a window, which is then drawn (offscreen): the section
// is read through its buffer, its lines are parsed and each one sets a caption and a font. The
// window has the kinds of control the program labels: buttons, a control array of labels, a
// frame, a menu with an item.
//
// No line, however malformed, breaks the window or its drawing, and the parsed lines keep the
// form's promises (a name without surrounding spaces, no tab in caption or font name).

#include "FuzzPrompter.h"

#include "core/AppCore.h"

#include "core/LabelLines.h"
#include "ui/ControlArray.h"
#include "ui/FormLabels.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

using namespace kel;

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_label_lines";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

const QString& folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kel-fuzz-labels-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kel-fuzz-labels-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

// A small window with one control of each labelled kind.
struct Window {
    Window()
    {
        form.setObjectName(QStringLiteral("frmMain"));
        auto* layout = new QVBoxLayout(&form);
        auto* bar = new QMenuBar(&form);
        auto* menu = bar->addMenu(QStringLiteral("File"));
        menu->setObjectName(QStringLiteral("mnuFile"));
        menu->addAction(QStringLiteral("Quit"))->setObjectName(QStringLiteral("mnuQuit"));
        layout->setMenuBar(bar);
        auto* button = new QPushButton(QStringLiteral("Convert"), &form);
        button->setObjectName(QStringLiteral("cmdConvert"));
        layout->addWidget(button);
        auto* frame = new QGroupBox(QStringLiteral("Values"), &form);
        frame->setObjectName(QStringLiteral("fraValue"));
        auto* inner = new QVBoxLayout(frame);
        for (int i = 0; i < 3; ++i) {
            auto* label = new QLabel(QString::number(i), frame);
            label->setObjectName(QStringLiteral("lblValue"));
            setControlIndex(label, i);
            inner->addWidget(label);
        }
        layout->addWidget(frame);
    }
    QWidget form;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    QFile file(QDir(folder()).filePath(QStringLiteral("LabelENG.ini")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    fuzz::QuietPrompter prompter;
    AppCore core(AppPaths::single(folder()), prompter);
    core.lngLanguage = LanguageEnglish;

    const profile::SectionResult section =
        profile::readSection(core.labelFile(), QStringLiteral("frmMain"), 8192);
    for (const LabelLine& line : parseLabelLines(section.lines)) {
        fuzz::check(line.name == line.name.trimmed());
        fuzz::check(!line.caption.contains(u'\t') && !line.fontName.contains(u'\t'));
    }

    Window window;
    LoadFormLabels(core, &window.form);
    window.form.resize(640, 480);            // windows have their designed size
    window.form.grab(QRect(0, 0, 640, 480)); // what a screen shows of it
    fuzz::check(prompter.boxes == 0);
    return 0;
}
