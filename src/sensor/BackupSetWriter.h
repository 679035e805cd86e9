#pragma once
// Receives a whole-sensor set so that a folder never looks complete when it is not and a
// complete set already there survives a new one that fails. The blocks arrive in a folder
// "INCOMPLETE" inside the chosen one. When all nine arrived they move into the chosen folder,
// its old manifest removed first and the new one written last. When the set stops short, the
// received blocks get a manifest saying so: in the chosen folder when it held no complete set,
// else left in "INCOMPLETE" beside the old set, which stays as it was.

#include "sensor/BackupSet.h"

#include <QString>
#include <QStringList>

namespace kel::sensor {

inline const QString kIncompleteFolderName = QStringLiteral("INCOMPLETE");

class BackupSetWriter {
public:
    explicit BackupSetWriter(QString folder);

    // Makes the chosen folder and an empty receiving folder in it. False with error().
    bool begin();
    // Where the transfer of block writes.
    QString receivePath(const SetBlock& block) const;
    // Notes that block arrived whole; false, with error(), when its file cannot be read.
    bool received(const SetBlock& block);
    // Drops what a failed or stopped transfer of block left, so no part of a block is ever
    // taken for one.
    void failed(const SetBlock& block);
    int receivedCount() const { return static_cast<int>(m_manifest.files.size()); }

    // Puts the set in place as described above. header gives the date, program, device and
    // image; the state and the files are the writer's. False, with error(), when a file could
    // not be moved or the manifest not written.
    bool finish(const Manifest& header);
    bool complete() const { return m_manifest.complete; }
    QString folder() const { return m_folder; }       // the chosen one
    QString setFolder() const { return m_setFolder; } // where the set is after finish
    QStringList files() const;                        // its block files there, in order
    QString error() const { return m_error; }

private:
    bool moveReceivedInto(const QString& folder);

    QString m_folder;
    QString m_receiving;
    QString m_setFolder;
    Manifest m_manifest;
    QString m_error;
};

} // namespace kel::sensor
