#include "sensor/BackupSetWriter.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <system_error>

namespace kel::sensor {

namespace {

bool replaceFile(const QString& from, const QString& to, QString* error)
{
    std::error_code failure;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), failure);
    if (failure)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to),
                                              QString::fromLocal8Bit(failure.message()));
    return !failure;
}

bool removeIfThere(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

} // namespace

BackupSetWriter::BackupSetWriter(QString folder)
    : m_folder(std::move(folder)), m_receiving(QDir(m_folder).filePath(kIncompleteFolderName)),
      m_setFolder(m_receiving)
{
}

bool BackupSetWriter::begin()
{
    // What an earlier attempt left in the receiving folder was incomplete by definition.
    QDir receiving(m_receiving);
    if ((receiving.exists() && !receiving.removeRecursively()) || !QDir().mkpath(m_receiving)) {
        m_error =
            QStringLiteral("%1: cannot make the folder").arg(QDir::toNativeSeparators(m_receiving));
        return false;
    }
    return true;
}

QString BackupSetWriter::receivePath(const SetBlock& block) const
{
    return QDir(m_receiving).filePath(block.fileName);
}

bool BackupSetWriter::received(const SetBlock& block)
{
    const std::optional<ManifestFile> file =
        describeFile(receivePath(block), block.fileName, &m_error);
    if (!file)
        return false;
    m_manifest.files.append(*file);
    return true;
}

void BackupSetWriter::failed(const SetBlock& block)
{
    QFile::remove(receivePath(block));
}

QStringList BackupSetWriter::files() const
{
    QStringList paths;
    for (const ManifestFile& file : m_manifest.files)
        paths << QDir(m_setFolder).filePath(file.fileName);
    return paths;
}

bool BackupSetWriter::moveReceivedInto(const QString& folder)
{
    // The old manifest goes first: from here until the new one is written, the folder does
    // not claim to hold a complete set.
    if (!removeIfThere(QDir(folder).filePath(kManifestName), &m_error))
        return false;
    for (const ManifestFile& file : m_manifest.files) {
        if (!replaceFile(QDir(m_receiving).filePath(file.fileName),
                         QDir(folder).filePath(file.fileName), &m_error))
            return false;
    }
    return true;
}

bool BackupSetWriter::finish(const Manifest& header)
{
    const QList<ManifestFile> received = m_manifest.files;
    m_manifest = header;
    m_manifest.files = received;
    m_manifest.complete = received.size() == kSetBlockCount;

    QString ignored;
    const std::optional<Manifest> old = readManifest(m_folder, &ignored);
    if (!m_manifest.complete && old && old->complete) {
        m_setFolder = m_receiving;
        return writeManifest(m_receiving, m_manifest, &m_error);
    }
    if (!moveReceivedInto(m_folder))
        return false;
    m_setFolder = m_folder;
    if (!writeManifest(m_folder, m_manifest, &m_error))
        return false;
    QDir(m_receiving).removeRecursively();
    return true;
}

} // namespace kel::sensor
