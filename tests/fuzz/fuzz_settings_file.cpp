// Setting.ini of any content, as the program reads and writes it: the language and the
// communication settings are loaded, the line settings and the device are worked out from
// them, and both are saved and loaded again, twice. The language and message files lie beside
// it, so that the settings error can always be shown.
//
// Loading never ends the process, saving keeps the file loadable, and what a second round of
// saving and loading gives is what the first gave.

#include "FuzzPrompter.h"

#include "core/AppCore.h"

#include "serial/DeviceNames.h"
#include "serial/LineSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kel;

namespace {

struct Loaded {
    qint16 port = 0;
    QString setting;
    QString delimiter;
    QString device;
    qint32 language = -1;
    int boxes = 0;
    friend bool operator==(const Loaded& a, const Loaded& b)
    {
        return a.port == b.port && a.setting == b.setting && a.delimiter == b.delimiter &&
               a.device == b.device && a.language == b.language;
    }
};

const QString& folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kel-fuzz-settings-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kel-fuzz-settings-XXXXXX"));
    static const QString path = [] {
        for (const char* name : {"MessageJPN.ini", "MessageENG.ini"})
            QFile::copy(QStringLiteral(KEL_LANGUAGE_DIR "/") + QLatin1String(name),
                        dir.filePath(QLatin1String(name)));
        return dir.path();
    }();
    return path;
}

Loaded load(int langId)
{
    fuzz::QuietPrompter prompter;
    AppCore core(AppPaths::single(folder()), prompter);
    core.userDefaultLangId = [langId] { return langId; };
    core.endProcess = [](int) { fuzz::check(false); }; // the message file is there to show 99
    core.LoadLanguage();
    core.LoadComSettings();
    if (const std::optional<serial::LineSettings> line =
            serial::parseLineSettings(core.strComSetting))
        fuzz::check(line->baudRate > 0 && line->dataBits >= 5 && line->dataBits <= 8);
    serial::deviceForPort(core.iComPort, core.strComDevice);
    return {core.iComPort,     core.strComSetting, core.strDelimiter,
            core.strComDevice, core.lngLanguage,   prompter.boxes};
}

void save(const Loaded& settings)
{
    fuzz::QuietPrompter prompter;
    AppCore core(AppPaths::single(folder()), prompter);
    core.endProcess = [](int) { fuzz::check(false); };
    core.iComPort = settings.port;
    core.strComSetting = settings.setting;
    core.strDelimiter = settings.delimiter;
    core.strComDevice = settings.device;
    core.lngLanguage = settings.language;
    core.SaveComSettings();
    core.SaveLanguage();
    fuzz::check(prompter.boxes == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int langId = (data[0] & 1) ? 1041 : 1033;
    QFile file(QDir(folder()).filePath(QStringLiteral("Setting.ini")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(data) + 1, qint64(size) - 1);
    file.close();

    const Loaded first = load(langId);
    // A file that could not be loaded whole is reported and left for the operator to mend.
    if (first.boxes > 0)
        return 0;
    save(first);
    const Loaded second = load(langId);
    fuzz::check(second.boxes == 0);
    save(second);
    const Loaded third = load(langId);
    fuzz::check(third.boxes == 0 && third == second);
    return 0;
}
