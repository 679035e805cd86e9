#pragma once
// The files an operator opened last, newest first, kept in a file of their own beside the
// settings file (one path a line, UTF-8), so that the settings file stays as it is.

#include <QString>
#include <QStringList>

namespace kel {

class RecentFiles {
public:
    static constexpr int kMaxFiles = 8;
    static constexpr const char* kFileName = "Recent.txt";

    explicit RecentFiles(QString storePath) : m_storePath(std::move(storePath)) {}

    // Reads the list; a missing or unreadable file gives none.
    void load();
    // path first, once; the oldest beyond kMaxFiles go. Written at once; false when the list
    // could not be written (it is kept in memory all the same).
    bool add(const QString& path);
    bool remove(const QString& path);
    const QStringList& files() const { return m_files; }

private:
    bool save() const;

    QString m_storePath;
    QStringList m_files;
};

} // namespace kel
