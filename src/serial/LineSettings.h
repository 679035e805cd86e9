#pragma once
// The line parameters text of the settings ("38400,N,8,1": baud rate, parity letter, data bits,
// stop bits) and what it means for a port.

#include <QString>
#include <optional>

namespace kel::serial {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    qint32 baudRate = 38400;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Four fields separated by commas, spaces around them allowed: a baud rate of 1 to 4000000,
// a parity letter (N, O, E, M or S, either case), 5 to 8 data bits, and 1, 1.5 or 2 stop bits.
// Nothing when the text is anything else: the port refuses such a text.
std::optional<LineSettings> parseLineSettings(const QString& text);

// Milliseconds that one character (start bit, data, parity, stop bits) takes on the line.
double characterTimeMs(const LineSettings& settings);

} // namespace kel::serial
