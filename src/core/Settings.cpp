// Settings file: the four keys, their defaults and the moments they are read and written.

#include "core/AppCore.h"
#include "core/Delimiter.h"
#include "core/VbConvert.h"

namespace kel {

namespace {

const QString kSectionOperation = QStringLiteral("OPERATION");
const QString kKeyLanguage = QStringLiteral("Language");
const QString kSectionCom = QStringLiteral("COM");
const QString kKeyPort = QStringLiteral("Port");
const QString kKeySetting = QStringLiteral("Setting");
const QString kKeyDelimiter = QStringLiteral("Delimitr"); // sic: the key files have always used
const QString kKeyDevice = QStringLiteral("Device");

const QString kJapanese = QStringLiteral("Japanese");
const QString kEnglish = QStringLiteral("English");
const QString kDefaultPort = QStringLiteral("1");
const QString kDefaultComSetting = QStringLiteral("38400,N,8,1");
const QString kDefaultDelimiterCode = QStringLiteral("0");

constexpr int kJapaneseLangId = 1041;

// A profile read hands back at most this many bytes of one value.
constexpr int kMaxValueBytes = 998;

} // namespace

QString AppCore::ReadSetting(const QString& file, const QString& section, const QString& key)
{
    m_lastReadFailed = false;
    const profile::ReadResult result = profile::readString(file, section, key);
    if (result.status == profile::ReadStatus::Unreadable ||
        (result.status == profile::ReadStatus::Ok &&
         result.value.toUtf8().size() > kMaxValueBytes)) {
        m_lastReadFailed = true;
        ReportSettingsError();
        return {};
    }
    return result.status == profile::ReadStatus::Ok ? result.value : QString();
}

profile::WriteResult AppCore::WriteSetting(const QString& file, const QString& section,
                                           const QString& key, const QString& value)
{
    return profile::writeString(file, section, key, value);
}

bool AppCore::writeOrReport(const QString& section, const QString& key, const QString& value)
{
    if (WriteSetting(settingsFile(), section, key, value).ok)
        return true;
    ReportSettingsError();
    return false;
}

// Reads key; a missing or empty key gets its default written. False when the read or the
// write failed (already reported), so that nothing is built on an unreadable file.
bool AppCore::readOrDefault(const QString& section, const QString& key, const QString& fallback,
                            QString& value)
{
    value = ReadSetting(settingsFile(), section, key);
    if (m_lastReadFailed)
        return false;
    if (value.isEmpty()) {
        if (!writeOrReport(section, key, fallback))
            return false;
        value = fallback;
    }
    return true;
}

void AppCore::LoadLanguage()
{
    QString value;
    if (!readOrDefault(kSectionOperation, kKeyLanguage, kJapanese, value))
        return;
    if (value.compare(kJapanese, Qt::CaseInsensitive) == 0)
        lngLanguage = LanguageJapanese;
    else if (value.compare(kEnglish, Qt::CaseInsensitive) == 0)
        lngLanguage = LanguageEnglish;
    else // left in the file until the next SaveLanguage replaces it
        lngLanguage = userDefaultLangId() == kJapaneseLangId ? LanguageJapanese : LanguageEnglish;
}

void AppCore::LoadComSettings()
{
    QString value;
    if (!readOrDefault(kSectionCom, kKeyPort, kDefaultPort, value))
        return;
    const std::optional<int> port = toInt16(value);
    if (!port) {
        ReportSettingsError();
        return;
    }
    iComPort = static_cast<qint16>(*port);

    if (!readOrDefault(kSectionCom, kKeySetting, kDefaultComSetting, value))
        return;
    strComSetting = value; // the port itself refuses a wrong one when it is opened

    if (!readOrDefault(kSectionCom, kKeyDelimiter, kDefaultDelimiterCode, value))
        return;
    strDelimiter = charactersOf(delimiterOfCode(value));

    // Optional: never defaulted, so files without it stay as they are.
    strComDevice = ReadSetting(settingsFile(), kSectionCom, kKeyDevice);
}

void AppCore::SaveComSettings()
{
    if (!writeOrReport(kSectionCom, kKeyPort, QString::number(iComPort)) ||
        !writeOrReport(kSectionCom, kKeySetting, strComSetting))
        return;
    // An unset delimiter leaves the stored one alone.
    const std::optional<Delimiter> delimiter = delimiterOfCharacters(strDelimiter);
    if (delimiter && !writeOrReport(kSectionCom, kKeyDelimiter, codeOf(*delimiter)))
        return;
    // Written when set, or emptied when the operator cleared a device the file names; a file
    // that never had the key does not get one.
    if (!strComDevice.isEmpty() ||
        profile::readString(settingsFile(), kSectionCom, kKeyDevice).status ==
            profile::ReadStatus::Ok)
        writeOrReport(kSectionCom, kKeyDevice, strComDevice);
}

void AppCore::SaveLanguage()
{
    writeOrReport(kSectionOperation, kKeyLanguage,
                  lngLanguage != LanguageJapanese ? kEnglish : kJapanese);
}

void AppCore::ReportSettingsError()
{
    QString failure;
    if (ShowMessage(kSectionMessage, MsgSettingsError, &failure))
        return;
    m_prompter->messageBox(failure, 0, kAppTitle);
    endProcess(kExitSettingsUnusable);
}

} // namespace kel
