// Profile files of any content, in memory: the reads of a value and of a section, and a write
// followed by reading the value back. The first input byte chooses the section, key and value
// to use (bits 0-2 the section, 3-5 the key, 6-7 the value) and the second the size of the
// section buffer (2 to 1022 bytes); the rest is the file.
//
// A written value reads back as written, other values stay as they were, and a section read
// never lays out more than its buffer holds.

#include "FuzzPrompter.h"

#include "core/ProfileFile.h"

using namespace kel;
using namespace kel::profile;

namespace {

const QString kSections[] = {
    QStringLiteral("COM"),     QStringLiteral("OPERATION"), QStringLiteral("com"),
    QStringLiteral("frmMain"), QStringLiteral("Message"),   QStringLiteral(" Label "),
    QStringLiteral("設定"),    QStringLiteral("A]B"),
};
const QString kKeys[] = {
    QStringLiteral("Port"),     QStringLiteral("Setting"), QStringLiteral("Delimitr"),
    QStringLiteral("Language"), QStringLiteral("1"),       QStringLiteral("99"),
    QStringLiteral("ポート"),   QStringLiteral("Device"),
};
const QString kValues[] = {
    QStringLiteral("38400,N,8,1"),
    QStringLiteral("English"),
    QStringLiteral("画像を受信しています@64"),
    QStringLiteral("/dev/ttyUSB0"),
};

// Values that a read returns exactly as written: no surrounding blanks, no line break, no
// pair of quotes around it.
bool readsBackAsWritten(const QString& value)
{
    return value == value.trimmed() && !value.contains(u'\r') && !value.contains(u'\n') &&
           !(value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
             value.back() == value.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QString& section = kSections[data[0] & 7];
    const QString& key = kKeys[(data[0] >> 3) & 7];
    const QString& value = kValues[data[0] >> 6];
    const int bufferSize = 2 + 4 * data[1];
    const QByteArray file(reinterpret_cast<const char*>(data) + 2, qsizetype(size) - 2);

    const Encoding encoding = detectEncoding(file);
    qsizetype laidOut = 1; // the NUL that closes the layout
    for (const QString& line : sectionLines(file, section, bufferSize))
        laidOut += encode(line, encoding).size() + 1;
    fuzz::check(laidOut <= bufferSize);

    const QByteArray written = withValue(file, section, key, value);
    // A name with "]" cannot be a section header, so it is never found again.
    if (section.contains(u']'))
        return 0;
    // A write keeps the file's encoding; the check is meaningful only where it did.
    if (!file.isEmpty() && detectEncoding(written) != encoding)
        return 0;
    const Lookup back = lookup(written, section, key);
    fuzz::check(back.found);
    if (readsBackAsWritten(value))
        fuzz::check(back.value == value);

    // The other keys of the section, and the same key in the other sections, stay as they were.
    const auto unchanged = [&](const QString& otherSection, const QString& otherKey) {
        const Lookup before = lookup(file, otherSection, otherKey);
        const Lookup after = lookup(written, otherSection, otherKey);
        fuzz::check(before.found == after.found && before.value == after.value);
    };
    for (const QString& otherKey : kKeys) {
        if (otherKey != key)
            unchanged(section, otherKey);
    }
    for (const QString& otherSection : kSections) {
        if (otherSection.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) != 0)
            unchanged(otherSection, key);
    }
    return 0;
}
