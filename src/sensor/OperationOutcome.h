#pragma once
// How a transfer operation of the progress window ended, for whoever words it afterwards:
// the file it wrote or sent, its size and how long the operation took.

#include <QString>
#include <QtGlobal>

namespace kel {

enum class OperationEnd {
    NotRun,    // a cancelled file dialog: nothing happened and nothing is to be said
    Succeeded, // the sensor answered "OK" and the transfer succeeded
    Stopped,   // the operator stopped the transfer
    Failed,    // anything else; the operator has been told why where it happened
};

struct OperationOutcome {
    OperationEnd end = OperationEnd::NotRun;
    QString file;          // the file written or sent; "" when the operation ended before it
    qint64 bytes = 0;      // the file's size after a success
    quint32 elapsedMs = 0; // from the progress window's opening to the end
};

} // namespace kel
