#include "sensor/ResultReading.h"
#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"

namespace kel::sensor {

namespace {

// "" stands for every failure the exchange reported, "ER" for the refusal it reported.
bool answered(const QString& reply)
{
    return !reply.isEmpty() && reply != kReplyError;
}

} // namespace

ResultReading readResultAndValue(serial::SerialLink& link)
{
    ResultReading reading;
    const QString code = serial::SendCommand(link, kResultCode);
    if (!answered(code))
        return reading;
    if (!kResultCodes.contains(code)) {
        reading.outcome = ResultReading::Outcome::UnknownCode;
        reading.reply = code;
        return reading;
    }
    const QString value = serial::SendCommand(link, kResultValue);
    if (!answered(value))
        return reading;
    reading.outcome = ResultReading::Outcome::Read;
    reading.code = code;
    reading.value = value;
    return reading;
}

} // namespace kel::sensor
