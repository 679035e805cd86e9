#pragma once
// The English texts of the serial messages as the shipped message file gives them, with the
// line break the message box shows: what the serial tests expect the operator to read.

#include <QString>

namespace kel::test {

inline const QString kMessage21 = QStringLiteral(
    "The COM port cannot be opened.\r\nCheck the port number and the communication settings.");
inline const QString kMessage22 = QStringLiteral(
    "Communication with the sensor failed.\r\nCheck the cable and the communication settings.");
inline const QString kMessage23 =
    QStringLiteral("The data transfer timed out.\r\nCheck the sensor and try again.");
inline const QString kMessage24 =
    QStringLiteral("The sensor did not accept the command.\r\nCheck the state of the sensor.");

} // namespace kel::test
