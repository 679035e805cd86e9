#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialogs) in the window's
// language, so that a Japanese window does not ask its questions with English buttons.

#include "core/AppCore.h"

#include <QStringList>
#include <QTranslator>

namespace kel {

class QtTranslations {
public:
    explicit QtTranslations(const AppPaths& paths);
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Qt's texts from now on in language, replacing the language followed before. English
    // needs no translation. False when no translation for language was found: Qt's texts
    // then stay English.
    bool follow(qint32 language);

    // Where translations are looked for, first match wins: a "translations" folder beside the
    // language files (a Windows program folder carries its own), then Qt's installed ones.
    QStringList folders() const { return m_folders; }

private:
    QStringList m_folders;
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace kel
