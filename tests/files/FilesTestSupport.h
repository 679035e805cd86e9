#pragma once
// Shared pieces of the File menu and batch tests: a started main window in a fresh application
// folder, sensor image files and bitmaps to open, and answers for modal windows.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "image/BitmapFile.h"
#include "image/ImageFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace kel::test {

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// A sensor image file of width x height whose pixels differ with seed.
inline QByteArray kelFile(int width, int height, unsigned seed = 1)
{
    SensorImage image;
    assignModelName(image, QStringLiteral("KEL-CA"));
    image.BayerPhase = static_cast<quint8>(seed % 4);
    image.GainR = 10;
    image.GainG = 20;
    image.GainB = 30;
    image.Width = static_cast<qint16>(width);
    image.Height = static_cast<qint16>(height);
    image.Pixels = ByteGrid(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Pixels.at(x, y) = static_cast<quint8>(x * 7 + y * 3 + seed * 11);
    QString failure;
    return kelFileBytes(image, failure);
}

// A bitmap file of width x height, 24-bit colour or 8-bit grey.
inline QByteArray bitmapFile(int width, int height, int bits)
{
    ImageState state;
    state.BitmapWidth = width;
    state.BitmapHeight = height;
    const int bytesPerPixel = bits == 24 ? 3 : 1;
    state.BitmapPixels = ByteGrid(width * bytesPerPixel, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bytesPerPixel; ++x)
            state.BitmapPixels.at(x, y) = static_cast<quint8>(x + y);
    return bitmapFileBytes(state, bits == 24 ? ImageKind::Colour : ImageKind::Grey);
}

// A scripted prompter that runs a step before it answers a box: an operator who inserts a
// medium before pressing Retry, or a test that looks at the screen while a box is up.
class ActingPrompter : public ScriptedPrompter {
public:
    std::function<void()> beforeAnswer;
    int messageBox(const QString& text, int style, const QString& title) override
    {
        if (beforeAnswer)
            beforeAnswer();
        return ScriptedPrompter::messageBox(text, style, title);
    }
};

inline FileDialogResult chose(const QStringList& files)
{
    return {true, files, 0};
}

// Runs action on the next modal window of type T once it is shown.
template <typename T> void whenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window)
            return;
        timer->stop();
        timer->deleteLater();
        action(window);
    });
    timer->start();
}

// A main window started in a fresh application folder with the shipped language files.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture()
    {
        dir.addLanguageFiles();
        core.userDefaultLangId = [] { return 1041; };
        core.endProcess = [](int) {};
        window.endProcess = [] {};
        window.Form_Load();
        // A modal window that no test answers would wait for ever: close it and fail.
        watchdog.setInterval(10000);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* stray = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "unanswered modal window " << stray->objectName().toStdString();
                stray->close();
            }
        });
        watchdog.start();
    }

    QString tmp(const QString& name) const { return dir.file(QStringLiteral("TMP/") + name); }
    QString image(const QString& name) const { return dir.file(QStringLiteral("IMAGE/") + name); }
    bool exists(const QString& path) const { return QFileInfo::exists(path); }

    // The texts of the boxes shown so far.
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const ShownBox& box : prompter.boxes)
            texts << box.text;
        return texts;
    }
    QString message(int number) const
    {
        return core.GetMessageText(kSectionMessage, number)
            .section(QLatin1Char('@'), 0, 0)
            .trimmed();
    }

    TempAppDir dir;
    ActingPrompter prompter;
    AppCore core{dir.paths(), prompter};
    frmMain window{core};
    QTimer watchdog;
};

} // namespace kel::test
