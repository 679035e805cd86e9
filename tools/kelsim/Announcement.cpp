#include "Announcement.h"

#include "core/ProfileFile.h"

#include <QFile>
#include <QFileInfo>

namespace kel::sim {

Announcement::Announcement(QString device, const SimOptions& options)
    : m_device(std::move(device)),
      m_linkPath(options.linkPath.isEmpty() ? QString()
                                            : QFileInfo(options.linkPath).absoluteFilePath()),
      m_deviceFile(options.deviceFile), m_settingsFile(options.settingsFile)
{
}

Announcement::~Announcement()
{
    withdraw();
}

bool Announcement::publish(QString* error)
{
    auto fail = [&](const QString& path, const QString& why) {
        *error = path + QStringLiteral(": ") + why;
        withdraw();
        return false;
    };
    if (!m_linkPath.isEmpty()) {
        // A link left by a kelsim that was killed is replaced; any other file is not.
        const QFileInfo existing(m_linkPath);
        if (existing.isSymLink())
            QFile::remove(m_linkPath);
        else if (existing.exists())
            return fail(m_linkPath, QStringLiteral("exists and is no symbolic link"));
        if (!QFile::link(m_device, m_linkPath))
            return fail(m_linkPath, QStringLiteral("cannot create the link"));
        m_linked = true;
    }
    if (!m_deviceFile.isEmpty()) {
        QFile file(m_deviceFile);
        const QByteArray line = m_device.toLocal8Bit() + '\n';
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(line) != line.size())
            return fail(m_deviceFile, file.errorString());
        m_fileWritten = true;
    }
    if (!m_settingsFile.isEmpty()) {
        const profile::WriteResult written =
            profile::writeString(m_settingsFile, QStringLiteral("COM"), QStringLiteral("Device"),
                                 m_linkPath.isEmpty() ? m_device : m_linkPath);
        if (!written.ok)
            return fail(m_settingsFile, written.error);
    }
    return true;
}

void Announcement::withdraw()
{
    // Only our own link: another kelsim may have taken the name meanwhile.
    if (m_linked && QFileInfo(m_linkPath).symLinkTarget() == m_device)
        QFile::remove(m_linkPath);
    if (m_fileWritten)
        QFile::remove(m_deviceFile);
    m_linked = m_fileWritten = false;
}

} // namespace kel::sim
