#pragma once
// Where kelsim tells the tool which device to open: a symbolic link that stays the same from
// run to run, a file holding the path, and the "Device" key of a settings file. The link and
// the file go away with the object; the key stays, since it names the link.

#include "SimOptions.h"

#include <QString>

namespace kel::sim {

class Announcement {
public:
    Announcement(QString device, const SimOptions& options);
    ~Announcement();
    Announcement(const Announcement&) = delete;
    Announcement& operator=(const Announcement&) = delete;

    // False, with *error, when one of them cannot be made; what was made is taken back.
    bool publish(QString* error);
    // The absolute link path, or "" without --link.
    QString linkPath() const { return m_linkPath; }

private:
    void withdraw();

    QString m_device;
    QString m_linkPath;
    QString m_deviceFile;
    QString m_settingsFile;
    bool m_linked = false;
    bool m_fileWritten = false;
};

} // namespace kel::sim
