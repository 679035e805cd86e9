#pragma once
// The end of every command and reply line: CR, LF or CR LF. The settings file stores it as a
// code ("Delimitr=0", 1 or 2), the program holds the characters themselves.

#include <QString>
#include <optional>

namespace kel {

enum class Delimiter { Cr = 0, Lf = 1, CrLf = 2 }; // the value is the setting's code

// The delimiter of a setting code: "0" CR, "1" LF, anything else CR LF, as the settings file
// has always been read.
Delimiter delimiterOfCode(const QString& code);
QString codeOf(Delimiter delimiter);

QString charactersOf(Delimiter delimiter);
// The delimiter whose characters these are; nothing for any other text.
std::optional<Delimiter> delimiterOfCharacters(const QString& characters);

// "CR", "LF" or "CR LF"; a name is read back in any case, with or without the blank, and a
// code stands for its delimiter too.
QString nameOf(Delimiter delimiter);
std::optional<Delimiter> delimiterOfName(const QString& name);

} // namespace kel
