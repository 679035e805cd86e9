#pragma once
// XMODEM packets and files as a peer writes them, for building conversations in tests.

#include "serial/XmodemProtocol.h"

#include <QByteArray>

namespace kel::test {

enum class Check { Crc, Checksum };

inline QByteArray byte(quint8 value)
{
    return QByteArray(1, static_cast<char>(value));
}
inline QByteArray times(int count, quint8 value)
{
    return QByteArray(count, static_cast<char>(value));
}

// A block of 128 data bytes (shorter data is filled with fill) with its number and check.
QByteArray block(quint8 number, QByteArray data, Check check = Check::Crc, char fill = '\x1A');

// Pseudo-random bytes: no two blocks alike, so that a block written at the wrong place or
// twice shows up as a content mismatch.
QByteArray patternFile(qsizetype size, quint32 seed = 1);

// data padded with fill to a multiple of 128 bytes.
QByteArray padded(const QByteArray& data, char fill);

} // namespace kel::test
