#pragma once
// The application core's shared state: the settings held in memory, the message idiom and
// the files of the chosen language. One instance lives for the whole run and is handed to
// every window and operation that needs it.

#include "core/AppPaths.h"
#include "core/MessageNumbers.h"
#include "core/ProfileFile.h"
#include "core/Prompter.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kel {

inline const QString kAppTitle = QStringLiteral("Lumexa KEL TOOL");

enum Language : qint32 { LanguageJapanese = 0, LanguageEnglish = 1 };

// Exit status when the settings file is unusable and not even its error message can be shown.
constexpr int kExitSettingsUnusable = 3;

class AppCore {
public:
    AppCore(AppPaths paths, Prompter& prompter);

    const AppPaths& paths() const { return m_paths; }
    Prompter& prompter() { return *m_prompter; }
    // From now on no box or dialog is shown: each is answered Cancel at once. For the end of
    // the program, when nobody may be asked anything any more.
    void silenceBoxes();

    QString settingsFile() const { return m_paths.settingsFile(); }
    QString labelFile() const;
    QString messageFile() const;

    // ---- Settings in memory.
    qint16 iComPort = 0;
    QString strComSetting;
    QString strDelimiter; // the delimiter characters themselves
    // Optional key "Device" of section "COM": the device path that the serial port opens
    // instead of the one its number names (not used on Windows). "" when the key is absent.
    QString strComDevice;
    qint32 lngLanguage = LanguageJapanese;

    // The choice of the options dialog; kept for the run only, never stored.
    qint32 lngImageOption = 0;

    // The value of key, or "" when the file, section or key is missing or the value is empty.
    // A file that cannot be read, or a value longer than a profile buffer holds, is reported
    // through ReportSettingsError and gives "".
    QString ReadSetting(const QString& file, const QString& section, const QString& key);
    // Failures are returned, not reported: the caller decides.
    profile::WriteResult WriteSetting(const QString& file, const QString& section,
                                      const QString& key, const QString& value);

    void LoadLanguage();
    void LoadComSettings();
    void SaveComSettings();
    void SaveLanguage();
    // Message 99; when even that cannot be shown, the failure's description in a plain box
    // and the end of the process.
    void ReportSettingsError();

    // ---- Message idiom.
    QStringList vntMessage; // the last message split at "@"
    qint16 iMsgAnswer = 0;  // the answer to the last box

    // The text of number in section of the current language's message file, line breaks
    // expanded and tabs removed; "" when missing or unreadable.
    QString GetMessageText(const QString& section, qint32 number) const;

    // Shows the message box of an entry "text @ style": the text with %1, %2... filled in from
    // arguments, then moreText, when given, as lines of its own. Returns false without a box when
    // the entry has no usable style (missing entry, no "@", no number); *failure then says why.
    bool ShowMessage(const QString& section, qint32 number, QString* failure = nullptr,
                     const QString& moreText = {}, const QStringList& arguments = {});

    // ShowMessage, and where it fails the failure's description in a critical box: the way
    // every caller without its own handling reports a message that cannot be shown.
    void ShowMessageOrFailure(const QString& section, qint32 number,
                              const QStringList& arguments = {});

    // The question of section "Question" asked, and its answer (AnswerYes, AnswerNo...); 0 when
    // it could not be asked, after the failure was shown. arguments fill the text's %1, %2...
    int AskQuestion(qint32 number, const QStringList& arguments = {});
    // True when the question was asked and answered Yes (or OK).
    bool Agrees(qint32 question, const QStringList& arguments = {});

    // A trapped run-time failure: its description, critical icon, OK, the application title.
    void ShowFailure(const QString& description);

    // ---- Platform hooks, replaceable in tests.
    std::function<int()> userDefaultLangId; // Windows language identifier, 1041 = Japanese
    std::function<void(int)> endProcess;    // ends the process at once with the given status

private:
    bool writeOrReport(const QString& section, const QString& key, const QString& value);
    bool readOrDefault(const QString& section, const QString& key, const QString& fallback,
                       QString& value);

    bool m_lastReadFailed = false;

    AppPaths m_paths;
    Prompter* m_prompter;
};

// The user's default language as a Windows language identifier: on Windows the system's own,
// elsewhere 1041 for a Japanese locale and 1033 for any other.
int platformUserDefaultLangId();

} // namespace kel
