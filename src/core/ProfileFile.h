#pragma once
// Reader and writer of profile files ("[section]" lines and "key=value" lines) with the
// behaviour of the Windows private-profile functions that the settings, label and message
// files were written for. All matching works on the file's bytes, so a write changes only
// the line it touches: comments, unknown lines and bytes before the first section survive.
//
// Text encoding: a file that is valid UTF-8 is UTF-8, anything else is the Japanese ANSI
// code page (CP932, Shift-JIS), which is what files edited on a Japanese Windows PC hold.
// Written names and values use the encoding the file already has (UTF-8 for a new file).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kel::profile {

enum class Encoding { Utf8, ShiftJis };

// UTF-8 when the bytes are valid UTF-8 (a leading UTF-8 byte-order mark is allowed), else CP932.
Encoding detectEncoding(const QByteArray& bytes);
QString decode(const QByteArray& bytes, Encoding encoding);
QByteArray encode(const QString& text, Encoding encoding);

// ---- In-memory operations on the whole file's bytes (the file-level calls below use these).

struct Lookup {
    bool found = false; // the section and a "key=" line exist (the value may be empty)
    QString value;      // trimmed, one pair of matching surrounding quotes removed
};

// The first section whose name matches (ASCII case-insensitive, the argument trimmed of
// spaces) and in it the first line whose key matches. Comment lines (first non-blank ";")
// are never keys; a line without "=" is not a key for reading. Lines above the first section
// header belong to no section; the section "" is the one headed "[]". A leading UTF-8
// byte-order mark is skipped.
Lookup lookup(const QByteArray& file, const QString& section, const QString& key);

// The lines of the first matching section, comments and blank lines left out, each as
// "key=value" with key and value trimmed (quotes kept) or the trimmed line when it has no "=".
// Emulates a caller's buffer of bufferSize bytes: the lines are laid out as NUL-terminated
// strings followed by one more NUL; when that does not fit, the layout is cut to
// bufferSize - 2 bytes and closed with two NULs, so the last line may be cut short (never
// inside a character) or lost.
// An absent section gives an empty list.
QStringList sectionLines(const QByteArray& file, const QString& section, int bufferSize);

// The file after writing key=value into section: in an existing key line (first match in the
// first matching section) only the value is replaced, so the key's own spelling and the
// spacing around "=" stay (a replaced last line without a line break gains a CR LF); a new key goes
// after the last line of its section that is neither blank nor a comment (right after the header
// when there is none); a new section goes at the end of the file (after a CR LF when the file does
// not end in a line break). New lines end in CR LF. Section and key arguments are trimmed of
// spaces; the value is written as given. Every other byte of the file is kept.
QByteArray withValue(const QByteArray& file, const QString& section, const QString& key,
                     const QString& value);

// ---- File-level operations.

enum class ReadStatus { Ok, Missing, Unreadable };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing; // Missing: no file, section or key
    QString value;
    QString error; // description when Unreadable
};

ReadResult readString(const QString& path, const QString& section, const QString& key);

struct SectionResult {
    bool ok = true; // false only when the file exists but cannot be read
    QStringList lines;
    QString error;
};

SectionResult readSection(const QString& path, const QString& section, int bufferSize);

struct WriteResult {
    bool ok = false;
    QString error; // description of the failure when !ok
};

// Creates the file when it is missing (not its folder). The new content is written to a
// temporary file in the same folder and renamed over the old one, so a failed write never
// leaves a half-written file behind.
WriteResult writeString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

} // namespace kel::profile
