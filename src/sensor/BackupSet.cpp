#include "sensor/BackupSet.h"
#include "sensor/SensorProtocol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kel::sensor {

namespace {

const QByteArray kHeader = "KEL backup set 1";
// A manifest lists nine files and a few lines more; anything much longer is not one.
constexpr qint64 kManifestLimit = 64 * 1024;
constexpr qsizetype kHashLength = 64;

bool isHex(const QByteArray& text)
{
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

bool isBlockName(const QString& name)
{
    for (const SetBlock& block : setBlocks()) {
        if (block.fileName == name)
            return true;
    }
    return false;
}

std::optional<ManifestFile> parseFileLine(const QString& value)
{
    const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3 || !isBlockName(parts[0]))
        return std::nullopt;
    bool ok = false;
    const qint64 size = parts[1].toLongLong(&ok);
    const QByteArray hash = parts[2].toLatin1();
    if (!ok || size < 0 || hash.size() != kHashLength || !isHex(hash))
        return std::nullopt;
    return ManifestFile{parts[0], size, hash};
}

} // namespace

const std::array<SetBlock, kSetBlockCount>& setBlocks()
{
    static const std::array<SetBlock, kSetBlockCount> blocks = [] {
        std::array<SetBlock, kSetBlockCount> list;
        for (int bank = 1; bank <= kBankCount; ++bank)
            list[bank - 1] = {bank, QStringLiteral("BANK%1.BNK").arg(bank), bankSaveCommand(bank),
                              kBankLoad};
        list[kBankCount] = {0, QStringLiteral("SYSTEM.STD"), kSystemSave, kSystemLoad};
        return list;
    }();
    return blocks;
}

const ManifestFile* Manifest::file(const QString& name) const
{
    for (const ManifestFile& entry : files) {
        if (entry.fileName == name)
            return &entry;
    }
    return nullptr;
}

QByteArray manifestText(const Manifest& manifest)
{
    QByteArray text = kHeader + '\n';
    const auto line = [&text](const char* key, const QString& value) {
        text += QByteArray(key) + " = " + value.toUtf8() + '\n';
    };
    line("state", manifest.complete ? QStringLiteral("complete") : QStringLiteral("incomplete"));
    line("date", manifest.date);
    line("program", manifest.program);
    line("device", manifest.device);
    line("image", manifest.image);
    for (const ManifestFile& file : manifest.files)
        line("file", QStringLiteral("%1 %2 %3")
                         .arg(file.fileName)
                         .arg(file.size)
                         .arg(QString::fromLatin1(file.sha256)));
    return text;
}

std::optional<Manifest> parseManifest(const QByteArray& text, QString* error)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kHeader) {
        *error = QStringLiteral("not a backup set manifest");
        return std::nullopt;
    }
    Manifest manifest;
    bool stateSeen = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        bool understood = equals > 0;
        if (key == QLatin1String("state")) {
            understood = value == QLatin1String("complete") || value == QLatin1String("incomplete");
            manifest.complete = value == QLatin1String("complete");
            stateSeen = true;
        } else if (key == QLatin1String("date")) {
            manifest.date = value;
        } else if (key == QLatin1String("program")) {
            manifest.program = value;
        } else if (key == QLatin1String("device")) {
            manifest.device = value;
        } else if (key == QLatin1String("image")) {
            manifest.image = value;
        } else if (key == QLatin1String("file")) {
            const std::optional<ManifestFile> file = parseFileLine(value);
            understood = file && !manifest.file(file->fileName);
            if (file)
                manifest.files.append(*file);
        } else {
            understood = false;
        }
        if (!understood) {
            *error = QStringLiteral("line %1 of the manifest is not understood: %2")
                         .arg(i + 1)
                         .arg(line);
            return std::nullopt;
        }
    }
    if (!stateSeen) {
        *error = QStringLiteral("the manifest does not say whether the set is complete");
        return std::nullopt;
    }
    return manifest;
}

std::optional<Manifest> readManifest(const QString& folder, QString* error)
{
    const QString path = QDir(folder).filePath(kManifestName);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), in.errorString());
        return std::nullopt;
    }
    if (in.size() > kManifestLimit) {
        *error = QStringLiteral("%1: too long for a manifest").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    QString why;
    std::optional<Manifest> manifest = parseManifest(in.readAll(), &why);
    if (!manifest)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
    return manifest;
}

bool writeManifest(const QString& folder, const Manifest& manifest, QString* error)
{
    const QString path = QDir(folder).filePath(kManifestName);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(manifestText(manifest)) < 0 || !out.commit()) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), out.errorString());
        return false;
    }
    return true;
}

std::optional<ManifestFile> describeFile(const QString& path, const QString& name, QString* error)
{
    QFile in(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!in.open(QIODevice::ReadOnly) || !hash.addData(&in)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), in.errorString());
        return std::nullopt;
    }
    return ManifestFile{name, in.size(), hash.result().toHex()};
}

QList<SetProblem> checkSet(const QString& folder, Manifest* manifestOut)
{
    const QString manifestPath = QDir::toNativeSeparators(QDir(folder).filePath(kManifestName));
    QString error;
    const std::optional<Manifest> manifest = readManifest(folder, &error);
    if (!manifest)
        return {{SetProblem::ManifestUnusable, manifestPath, error}};
    if (manifestOut)
        *manifestOut = *manifest;
    if (!manifest->complete)
        return {{SetProblem::Incomplete, manifestPath, {}}};
    QList<SetProblem> problems;
    for (const SetBlock& block : setBlocks()) {
        const QString path = QDir(folder).filePath(block.fileName);
        const QString shown = QDir::toNativeSeparators(path);
        const ManifestFile* listed = manifest->file(block.fileName);
        if (!listed) {
            problems.append({SetProblem::NotListed, shown, {}});
        } else if (!QFile::exists(path)) {
            problems.append({SetProblem::Missing, shown, {}});
        } else if (const std::optional<ManifestFile> found =
                       describeFile(path, block.fileName, &error);
                   !found) {
            problems.append({SetProblem::Unreadable, shown, error});
        } else if (found->size != listed->size || found->sha256 != listed->sha256) {
            problems.append({SetProblem::Changed, shown, {}});
        }
    }
    return problems;
}

} // namespace kel::sensor
