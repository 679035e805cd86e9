#pragma once
// The drive, folder and file lists of the folder pickers. Where the platform has no drive
// letters, the drives are the file system roots and mount points it reports.

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace kel {

// Why a folder cannot be opened.
enum class FolderRefusal { None, Missing, NotAFolder, Denied };
FolderRefusal folderRefusal(const QString& folder);

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // The roots of the mounted file systems, each once, sorted.
    static QStringList platformDrives();

    void setDrives(const QStringList& roots);
    QString drive() const; // root of the chosen entry
    // Chooses the drive that holds path: the longest root it starts with.
    void setDriveOf(const QString& path);
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens folder: its ancestors from the root down to it, then its subfolders (links to
    // folders among them, never a link to a device or a file). A folder that cannot be read
    // leaves the list as it was and gives false with the reason in *refusal.
    bool setPath(const QString& folder, FolderRefusal* refusal);
    QString pathAt(int row) const;

signals:
    void pathChanged();

private:
    QString m_path;
};

class FileList : public QListWidget {
    Q_OBJECT
public:
    FileList(const QString& pattern, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Lists the files of folder that match the pattern (in either case), sorted by name,
    // without hidden and system files; a link counts only when it leads to a file.
    void setPath(const QString& folder);
    QStringList names() const;

private:
    QString m_pattern;
    QString m_path;
};

} // namespace kel
