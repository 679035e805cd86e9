#include "ProfileFile.h"
#include "core/Cp932.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kel::profile {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

// The trail byte of a CP932 double-byte character can be '[', ']', '\\' or an ASCII
// letter, so every scan of a CP932 line must step over whole characters.
bool isLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

qsizetype nextChar(QByteArrayView text, qsizetype i, Encoding encoding)
{
    if (encoding == Encoding::ShiftJis && isLeadByte(text[i]) && i + 1 < text.size())
        return i + 2;
    return i + 1;
}

qsizetype findChar(QByteArrayView text, char c, Encoding encoding)
{
    for (qsizetype i = 0; i < text.size(); i = nextChar(text, i, encoding)) {
        if (text[i] == c)
            return i;
    }
    return -1;
}

// The largest character boundary of text that is not beyond n.
qsizetype charBoundary(QByteArrayView text, qsizetype n, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        return n;
    }
    qsizetype i = 0;
    while (i < n) {
        const qsizetype next = nextChar(text, i, encoding);
        if (next > n)
            break;
        i = next;
    }
    return i;
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArrayView unquoted(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters match in either case; the bytes of a double-byte character must match
// exactly, or two different kana whose trail bytes are 'A' and 'a' would be one name.
bool sameName(QByteArrayView a, QByteArrayView b, Encoding encoding)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size();) {
        const qsizetype next = nextChar(a, i, encoding);
        if (next - i == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
        i = next;
    }
    return true;
}

QString trimmedSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

enum class LineKind { Blank, Comment, Section, Entry, Text };

struct Line {
    LineKind kind = LineKind::Blank;
    qsizetype end = 0;        // end of the content, before the line break
    qsizetype next = 0;       // first byte of the following line
    QByteArrayView name;      // section name, key, or the whole trimmed Text line
    QByteArrayView value;     // Entry: trimmed, quotes kept
    qsizetype valueStart = 0; // Entry: first byte after the '=' and the blanks after it
};

struct SectionRange {
    qsizetype header = -1; // line index of "[name]", -1 when there is no such section
    qsizetype end = -1;    // line index of the next header or the line count
};

// One parse of a file's bytes. The views in lines point into the caller's QByteArray.
class Profile {
public:
    explicit Profile(const QByteArray& bytes) : bytes_(bytes), encoding_(detectEncoding(bytes))
    {
        parse();
    }

    Encoding encoding() const { return encoding_; }
    const QList<Line>& lines() const { return lines_; }

    // Names given by callers lose surrounding spaces (not tabs) and are matched as bytes
    // in the file's own encoding.
    QByteArray name(const QString& text) const { return encode(trimmedSpaces(text), encoding_); }

    SectionRange section(const QString& sectionName) const
    {
        const QByteArray wanted = name(sectionName);
        SectionRange range;
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            if (lines_[i].kind != LineKind::Section)
                continue;
            if (range.header >= 0) {
                range.end = i;
                return range;
            }
            if (sameName(lines_[i].name, wanted, encoding_))
                range.header = i;
        }
        if (range.header >= 0)
            range.end = lines_.size();
        return range;
    }

    qsizetype entry(const SectionRange& range, QByteArrayView key) const
    {
        for (qsizetype i = range.header + 1; i < range.end; ++i) {
            if (lines_[i].kind == LineKind::Entry && sameName(lines_[i].name, key, encoding_))
                return i;
        }
        return -1;
    }

private:
    void parse()
    {
        const QByteArrayView file(bytes_);
        // A byte-order mark left by a text editor must not hide the first section header.
        qsizetype pos = file.startsWith(kUtf8Bom) ? 3 : 0;
        while (pos < file.size()) {
            Line line;
            line.end = pos;
            while (line.end < file.size() && file[line.end] != '\r' && file[line.end] != '\n')
                ++line.end;
            line.next = line.end;
            if (line.next < file.size() && file[line.next] == '\r')
                ++line.next;
            if (line.next < file.size() && file[line.next] == '\n')
                ++line.next;
            classify(line, file.sliced(pos, line.end - pos));
            lines_.append(line);
            pos = line.next;
        }
    }

    void classify(Line& line, QByteArrayView content) const
    {
        const QByteArrayView text = trimmed(content);
        if (text.isEmpty())
            return;
        if (text.front() == ';') {
            line.kind = LineKind::Comment;
            return;
        }
        if (text.front() == '[') {
            const QByteArrayView rest = text.sliced(1);
            const qsizetype close = findChar(rest, ']', encoding_);
            line.kind = LineKind::Section;
            line.name = trimmed(close < 0 ? rest : rest.first(close));
            return;
        }
        const qsizetype equals = findChar(text, '=', encoding_);
        if (equals < 0) {
            line.kind = LineKind::Text;
            line.name = text;
            return;
        }
        const QByteArrayView after = text.sliced(equals + 1);
        line.kind = LineKind::Entry;
        line.name = trimmed(text.first(equals));
        line.value = trimmed(after);
        line.valueStart = after.data() - bytes_.constData();
        while (line.valueStart < line.end && isBlank(bytes_[line.valueStart]))
            ++line.valueStart;
    }

    const QByteArray& bytes_;
    Encoding encoding_;
    QList<Line> lines_;
};

QByteArray encodeCp932(const QString& text)
{
    if (const std::optional<QByteArray> exact = encodeCp932Exactly(text))
        return *exact;
    // A character CP932 lacks becomes "?", one per character, as Windows programs write it.
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        bytes += encodeCp932Exactly(QStringView(text).sliced(i, units)).value_or("?");
        i += units;
    }
    return bytes;
}

QString describe(const QString& path, const QString& problem)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), problem);
}

enum class FileState { Read, Missing, Failed };

FileState readWholeFile(const QString& path, QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.exists())
        return FileState::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        error = describe(path, file.errorString());
        return FileState::Failed;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = describe(path, file.errorString());
        return FileState::Failed;
    }
    return FileState::Read;
}

} // namespace

Encoding detectEncoding(const QByteArray& bytes)
{
    // Stateless, so a sequence cut off at the end of the file counts as an error too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? Encoding::ShiftJis : Encoding::Utf8;
}

QString decode(const QByteArray& bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        QStringDecoder utf8(QStringDecoder::Utf8); // drops a leading byte-order mark
        return utf8(bytes);
    }
    return decodeCp932(bytes);
}

QByteArray encode(const QString& text, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? text.toUtf8() : encodeCp932(text);
}

Lookup lookup(const QByteArray& file, const QString& section, const QString& key)
{
    const Profile profile(file);
    const SectionRange range = profile.section(section);
    if (range.header < 0)
        return {};
    const qsizetype index = profile.entry(range, profile.name(key));
    if (index < 0)
        return {};
    const QByteArrayView value = unquoted(profile.lines()[index].value);
    return {true, decode(value.toByteArray(), profile.encoding())};
}

QStringList sectionLines(const QByteArray& file, const QString& section, int bufferSize)
{
    const Profile profile(file);
    const SectionRange range = profile.section(section);
    QStringList result;
    // Each line takes its length plus a NUL and two closing NULs are always reserved, so a
    // complete layout fits exactly when its last line fits without its own NUL.
    qsizetype room = qsizetype(bufferSize) - 2;
    for (qsizetype i = range.header + 1; range.header >= 0 && i < range.end; ++i) {
        const Line& line = profile.lines()[i];
        QByteArray text;
        if (line.kind == LineKind::Entry)
            text = line.name.toByteArray() + '=' + line.value.toByteArray();
        else if (line.kind == LineKind::Text)
            text = line.name.toByteArray();
        else
            continue;
        if (text.size() < room) {
            result.append(decode(text, profile.encoding()));
            room -= text.size() + 1;
            continue;
        }
        // The cut falls in this line. Half a character would only decode to garbage, so
        // the cut moves back to the start of that character.
        const qsizetype keep = room > 0 ? charBoundary(text, room, profile.encoding()) : 0;
        if (keep > 0)
            result.append(decode(text.first(keep), profile.encoding()));
        break;
    }
    return result;
}

QByteArray withValue(const QByteArray& file, const QString& section, const QString& key,
                     const QString& value)
{
    const Profile profile(file);
    const QByteArray keyBytes = profile.name(key);
    const QByteArray valueBytes = encode(value, profile.encoding());
    QByteArray result = file;

    const SectionRange range = profile.section(section);
    if (range.header < 0) {
        if (!file.isEmpty() && !file.endsWith('\r') && !file.endsWith('\n'))
            result += "\r\n";
        result += '[' + profile.name(section) + "]\r\n" + keyBytes + '=' + valueBytes + "\r\n";
        return result;
    }

    const QList<Line>& lines = profile.lines();
    const qsizetype index = profile.entry(range, keyBytes);
    if (index >= 0) {
        // Only the value changes: the key's spelling, its indentation and the spacing
        // around "=" are the file owner's and stay as they are.
        const Line& line = lines[index];
        result.replace(line.valueStart, line.end - line.valueStart, valueBytes);
        if (line.next == line.end)
            result += "\r\n";
        return result;
    }

    // A new key goes below the section's last key, so blank lines and comments that lead
    // into the next section stay where they are.
    qsizetype anchor = range.header;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (lines[i].kind == LineKind::Entry || lines[i].kind == LineKind::Text)
            anchor = i;
    }
    QByteArray newLine = keyBytes + '=' + valueBytes + "\r\n";
    if (lines[anchor].next == lines[anchor].end)
        newLine.prepend("\r\n");
    result.insert(lines[anchor].next, newLine);
    return result;
}

ReadResult readString(const QString& path, const QString& section, const QString& key)
{
    ReadResult result;
    QByteArray bytes;
    switch (readWholeFile(path, bytes, result.error)) {
    case FileState::Missing:
        return result;
    case FileState::Failed:
        result.status = ReadStatus::Unreadable;
        return result;
    case FileState::Read:
        break;
    }
    const Lookup found = lookup(bytes, section, key);
    if (found.found) {
        result.status = ReadStatus::Ok;
        result.value = found.value;
    }
    return result;
}

SectionResult readSection(const QString& path, const QString& section, int bufferSize)
{
    SectionResult result;
    QByteArray bytes;
    switch (readWholeFile(path, bytes, result.error)) {
    case FileState::Missing:
        return result;
    case FileState::Failed:
        result.ok = false;
        return result;
    case FileState::Read:
        break;
    }
    result.lines = sectionLines(bytes, section, bufferSize);
    return result;
}

WriteResult writeString(const QString& path, const QString& section, const QString& key,
                        const QString& value)
{
    WriteResult result;
    QByteArray old;
    const FileState state = readWholeFile(path, old, result.error);
    if (state == FileState::Failed)
        return result;
    if (state == FileState::Missing && !QFileInfo(path).dir().exists()) {
        result.error = describe(path, QStringLiteral("the folder does not exist"));
        return result;
    }

    const QByteArray updated = withValue(old, section, key, value);
    if (state == FileState::Read && updated == old) {
        // Nothing to change: leave the file and its time stamp alone.
        result.ok = true;
        return result;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(updated) != updated.size() || !out.commit()) {
        result.error = describe(path, out.errorString());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace kel::profile
