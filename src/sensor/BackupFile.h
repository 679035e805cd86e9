#pragma once
// A backup is received into a temporary file beside the chosen one and replaces the chosen
// file only once the transfer succeeded, so a failed or stopped backup never costs the operator
// the previous good one.

#include <QString>

namespace kel {

class BackupFile {
public:
    explicit BackupFile(const QString& chosenPath);
    ~BackupFile(); // removes the temporary file unless it was committed

    BackupFile(const BackupFile&) = delete;
    BackupFile& operator=(const BackupFile&) = delete;

    // Where the transfer writes; "" when no temporary file could be made (error() says why).
    QString receivePath() const { return m_temporary; }
    QString error() const { return m_error; }

    // Puts the received file in the chosen file's place in one step. False, with error() set
    // and the received data kept at receivePath(), when that fails.
    bool commit();

private:
    QString m_chosen;
    QString m_temporary;
    QString m_error;
    bool m_committed = false;
};

} // namespace kel
