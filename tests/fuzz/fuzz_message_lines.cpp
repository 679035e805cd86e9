// Message files of any content: every text the program uses is fetched and shown through the
// message idiom, and each box style is decoded into the box a person would see. The first
// input byte picks the language (bit 0) of the file; the rest is the file.
//
// A text is either shown with its style or reported as unusable, never half; a shown box has
// buttons, a default among them, and an Esc answer that is one of them or none.

#include "FuzzPrompter.h"

#include "core/AppCore.h"

#include "core/MessageBoxStyle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kel;

namespace {

const QString& folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kel-fuzz-messages-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kel-fuzz-messages-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

class RecordingPrompter : public fuzz::QuietPrompter {
public:
    int messageBox(const QString& text, int style, const QString& title) override
    {
        lastText = text;
        lastStyle = style;
        lastTitle = title;
        return fuzz::QuietPrompter::messageBox(text, style, title);
    }
    QString lastText;
    int lastStyle = 0;
    QString lastTitle;
};

struct Entry {
    const QString& section;
    qint32 number;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool japanese = data[0] & 1;
    QFile file(QDir(folder()).filePath(japanese ? QStringLiteral("MessageJPN.ini")
                                                : QStringLiteral("MessageENG.ini")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(data) + 1, qint64(size) - 1);
    file.close();

    RecordingPrompter prompter;
    AppCore core(AppPaths::single(folder()), prompter);
    core.lngLanguage = japanese ? LanguageJapanese : LanguageEnglish;

    const Entry entries[] = {
        {kSectionMessage, MsgCompleted},
        {kSectionMessage, MsgNoReply},
        {kSectionMessage, MsgSensorError},
        {kSectionMessage, MsgSettingsError},
        {kSectionQuestion, 1},
        {kSectionQuestion, 2},
        {kSectionLabel, 4},
        {kSectionLabel, 51},
    };
    for (const Entry& entry : entries) {
        const QString text = core.GetMessageText(entry.section, entry.number);
        fuzz::check(!text.contains(u'\t'));
        const int boxesBefore = prompter.boxes;
        QString failure;
        const bool shown = core.ShowMessage(entry.section, entry.number, &failure);
        fuzz::check(shown == (prompter.boxes == boxesBefore + 1));
        fuzz::check(shown || !failure.isEmpty());
        fuzz::check(core.vntMessage.join(u'@') == text);
        if (!shown)
            continue;
        fuzz::check(prompter.lastText == core.vntMessage.at(0).trimmed());
        fuzz::check(prompter.lastTitle == kAppTitle);
        const MessageBoxLayout layout = decodeMessageBoxStyle(prompter.lastStyle);
        fuzz::check(!layout.buttons.isEmpty() && layout.buttons.contains(layout.defaultAnswer));
        fuzz::check(layout.escapeAnswer == 0 || layout.buttons.contains(layout.escapeAnswer));
    }
    return 0;
}
