// The command exchange against a device that answers with any bytes. The first input byte
// picks the delimiter (bits 0-1: CR, LF, CR LF, and a fourth code that means CR LF as well)
// and how many bytes reach the port each millisecond (bits 2-7, 0: all at once); the rest is
// what the device sends after the command. The reply then goes through the number readers the
// callers use on replies.
//
// The reply is exactly the bytes before the first delimiter, a missing or empty one is reported
// as no reply, and the port is closed afterwards.

#include "SerialFuzzSupport.h"

#include "core/VbConvert.h"
#include "serial/CommandExchange.h"

using namespace kel;
using namespace kel::serial;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    static const QString kDelimiters[] = {QStringLiteral("\r"), QStringLiteral("\n"),
                                          QStringLiteral("\r\n"), QStringLiteral("\r\n")};
    const QString delimiter = kDelimiters[data[0] & 3];
    const int pace = data[0] >> 2;
    const QByteArray stream(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    fuzz::PlaybackLine::Config config;
    if (pace == 0) {
        config.release = fuzz::PlaybackLine::Release::Answering;
        config.speaksFirst = false;
        config.burstSize = [](QByteArrayView rest) { return rest.size(); };
    } else {
        config.release = fuzz::PlaybackLine::Release::Streamed;
        config.bytesPerMs = pace;
    }

    fuzz::FuzzLink fixture(stream, config);
    fixture.link->line.delimiter = delimiter.toLatin1();
    CommandOutcome outcome;
    const QString reply = SendCommand(*fixture.link, QStringLiteral(" IMGINFO 0 1 "), &outcome);

    const qsizetype end = stream.indexOf(delimiter.toLatin1());
    const QString expected = end < 0 ? QString() : QString::fromLatin1(stream.first(end));
    fuzz::check(reply == expected);
    fuzz::check(reply.isEmpty() == (outcome.failure == CommandFailure::NoReply));
    fuzz::check(!fixture.line->isOpen());
    fuzz::check(fixture.line->writes().size() == 1 &&
                fixture.line->writes().front() == "IMGINFO 0 1" + delimiter.toLatin1());

    // What the callers make of a reply: a number of the image information, a result code.
    QString error;
    if (const std::optional<int> value = toInt16(reply, &error))
        fuzz::check(*value >= -32768 && *value <= 32767);
    else
        fuzz::check(!error.isEmpty());
    if (const std::optional<int> value = toByte(reply))
        fuzz::check(*value >= 0 && *value <= 255);
    return 0;
}
