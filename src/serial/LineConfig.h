#pragma once
// What the line needs of the settings: the port, its line parameters and the bytes that end
// every command and reply line. The application fills it from its settings file; tests and the
// simulated sensor fill it themselves.

#include <QByteArray>
#include <QString>

namespace kel::serial {

struct LineConfig {
    qint16 port = 0; // port n: COMn on Windows, /dev/ttyS<n-1> elsewhere
    QString device;  // a device path (not on Windows) or network address that wins over the number
    QString setting = QStringLiteral("38400,N,8,1"); // line parameters, as the settings give them
    QByteArray delimiter = QByteArrayLiteral("\r");  // ends every command and reply line
};

} // namespace kel::serial
