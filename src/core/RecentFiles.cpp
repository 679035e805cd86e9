#include "core/RecentFiles.h"

#include <QFile>
#include <QSaveFile>

namespace kel {

void RecentFiles::load()
{
    m_files.clear();
    QFile in(m_storePath);
    if (!in.open(QIODevice::ReadOnly))
        return;
    // A list longer than any this program writes is cut, not trusted.
    const QByteArray bytes = in.read(64 * 1024);
    for (const QByteArray& line : bytes.split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (!path.isEmpty() && !m_files.contains(path) && m_files.size() < kMaxFiles)
            m_files << path;
    }
}

bool RecentFiles::add(const QString& path)
{
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
    return save();
}

bool RecentFiles::remove(const QString& path)
{
    m_files.removeAll(path);
    return save();
}

bool RecentFiles::save() const
{
    QSaveFile out(m_storePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    for (const QString& path : m_files)
        out.write(path.toUtf8() + '\n');
    return out.commit();
}

} // namespace kel
