#include "sensor/BackupFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace kel {

BackupFile::BackupFile(const QString& chosenPath) : m_chosen(chosenPath)
{
    const QFileInfo chosen(chosenPath);
    QTemporaryFile reserve(chosen.absolutePath() + QStringLiteral("/.") + chosen.fileName() +
                           QStringLiteral(".XXXXXX.part"));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        m_error = QStringLiteral("%1: %2").arg(chosenPath, reserve.errorString());
        return;
    }
    m_temporary = reserve.fileName();
    // The backup gets the permissions the old file had, or those of a new file, not the
    // private ones of a temporary file.
    const QFileDevice::Permissions permissions =
        chosen.exists() ? QFile::permissions(chosenPath)
                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther;
    reserve.setPermissions(permissions);
}

BackupFile::~BackupFile()
{
    if (!m_committed && !m_temporary.isEmpty() && m_error.isEmpty())
        QFile::remove(m_temporary);
}

bool BackupFile::commit()
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(m_temporary.toStdU16String()),
                            std::filesystem::path(m_chosen.toStdU16String()), error);
    if (error) {
        m_error = QStringLiteral("%1: %2 (%3)")
                      .arg(m_chosen, QString::fromLocal8Bit(error.message()), m_temporary);
        return false;
    }
    m_committed = true;
    return true;
}

} // namespace kel
