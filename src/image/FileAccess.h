#pragma once
// File access shared by the image readers and writers, with failures described the way the
// program reports trapped run-time failures: a classic description and the file concerned.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kel {

inline const char* const kSubscriptOutOfRange = "Subscript out of range";
inline const char* const kInputPastEndOfFile = "Input past end of file";
inline const char* const kOutOfMemory = "Out of memory";
inline const char* const kInvalidPicture = "Invalid picture";

// "description (path)".
QString describeFailure(const QString& description, const QString& path);

// Opens path for reading. False with a description (file not found, permission denied, ...).
bool openForReading(QFile& file, const QString& path, QString& failure);

// Writes bytes as the whole content of path. An existing file is replaced only once the new
// content is complete, so a failure leaves it as it was. False with a description when any
// step fails.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString& failure);

// writeWholeFile for the program's own working files: an existing file is deleted and a new one
// created. Truncating a file that was written moments ago makes file systems with delayed
// allocation write the old contents out first, which costs milliseconds on every conversion.
bool recreateWorkFile(const QString& path, const QByteArray& bytes, QString& failure);

} // namespace kel
