#pragma once
// One reading of the last measurement: its result code, then its measured value, as the
// trend of a continuous measurement takes them. A reading the trend cannot use says why.

#include "serial/SerialLink.h"

#include <QString>

namespace kel::sensor {

struct ResultReading {
    enum class Outcome {
        Read,        // code and value
        NotAnswered, // no reply, a port that failed, or "ER": the exchange showed its message
        UnknownCode, // the sensor answered the code query with something else (in reply)
    };
    Outcome outcome = Outcome::NotAnswered;
    QString code;
    QString value;
    QString reply;

    bool read() const { return outcome == Outcome::Read; }
};

// "DATAGET 2 0" and, after one of the three codes, "DATAGET 2 1".
ResultReading readResultAndValue(serial::SerialLink& link);

} // namespace kel::sensor
