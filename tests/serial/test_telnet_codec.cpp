// The Telnet side of a serial device server, bytes in and bytes out, and the network device
// texts.

#include "serial/DeviceNames.h"
#include "serial/NetAddress.h"
#include "serial/TelnetCodec.h"

#include <gtest/gtest.h>
#include <initializer_list>

using namespace kel::serial;
using namespace kel::serial::telnet;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result += char(value);
    return result;
}

struct DecodeCase {
    const char* name;
    std::vector<QByteArray> pieces; // as they arrive
    QByteArray data = {};           // the line's data among them
    QByteArray answers = {};        // what the client owes the server
    std::vector<ComPortReply> replies = {};
    TelnetCodec::ComPort comPort = TelnetCodec::ComPort::Asked;
};

TEST(TelnetCodec, decodesDataCommandsAndNegotiationInAnyPieces)
{
    const QByteArray hello("hel\xFFlo", 6);
    const DecodeCase cases[] = {
        {"plain data", {"abc\r\n"}, "abc\r\n", {}, {}},
        {"doubled 0xFF is one data byte", {bytes({'a', kIac, kIac, 'b'})}, bytes({'a', 0xFF, 'b'})},
        {"IAC split from its double",
         {bytes({'a', kIac}), bytes({kIac, 'b'})},
         bytes({'a', 0xFF, 'b'})},
        {"negotiation split after its verb",
         {bytes({'x', kIac, kDo}), bytes({kOptionComPort, 'y'})},
         "xy",
         {},
         {},
         TelnetCodec::ComPort::Accepted},
        {"other commands are no data",
         {bytes({'a', kIac, 241, kIac, 242, kIac, 249, kIac, 246, 'b'})},
         "ab"},
        {"server's opening of a typical device server",
         {bytes({kIac, kWill, kOptionSuppressGoAhead,
                 kIac, kDo,   kOptionSuppressGoAhead,
                 kIac, kWill, kOptionEcho,
                 kIac, kDont, kOptionEcho,
                 kIac, kDo,   kOptionBinary,
                 kIac, kWill, kOptionBinary,
                 kIac, kDo,   kOptionComPort})},
         {},
         bytes({kIac, kDont, kOptionEcho}), // echo would send the client's data back
         {},
         TelnetCodec::ComPort::Accepted},
        {"unknown options refused, once each",
         {bytes({kIac, kDo, 24, kIac, kWill, 31, kIac, kDont, 24, kIac, kWont, 31})},
         {},
         bytes({kIac, kWont, 24, kIac, kDont, 31})},
        {"option declined",
         {bytes({kIac, kDont, kOptionComPort})},
         {},
         {},
         {},
         TelnetCodec::ComPort::Declined},
        {"replies with doubled 0xFF in their value, split anywhere",
         {bytes({'a', kIac, kSb, kOptionComPort, 101, 0, 0}), bytes({kIac, kIac, kIac, kIac, kIac}),
          bytes({kSe, 'b', kIac, kSb, kOptionComPort, 112, 1, kIac, kSe})},
         "ab",
         {},
         {{101, bytes({0, 0, 0xFF, 0xFF})}, {112, bytes({1})}}},
        {"another option's subnegotiation is dropped",
         {bytes({kIac, kSb, 24, 1, 'x', kIac, kSe, 'z'})},
         "z"},
        {"an unterminated subnegotiation ends at the next command",
         {bytes({kIac, kSb, kOptionComPort, 107, 0, kIac, kDo, kOptionBinary, 'q'})},
         "q",
         {},
         {{107, bytes({0})}}},
        {"an endless subnegotiation is not stored",
         {QByteArray(1, char(kIac)) + char(kSb) + char(kOptionComPort) + QByteArray(100000, 'x') +
          char(kIac) + char(kSe) + "ok"},
         "ok",
         {},
         {{'x', QByteArray(62, 'x')}}},
        {"a lone IAC takes the next byte as its command", {hello}, "helo"},
    };
    for (const DecodeCase& c : cases) {
        TelnetCodec codec;
        codec.opening();
        QByteArray data;
        for (const QByteArray& piece : c.pieces)
            data += codec.decode(piece);
        EXPECT_EQ(data, c.data) << c.name;
        EXPECT_EQ(codec.takeAnswers(), c.answers) << c.name;
        EXPECT_EQ(codec.takeComPortReplies(), c.replies) << c.name;
        EXPECT_EQ(codec.comPort(), c.comPort) << c.name;
    }
}

TEST(TelnetCodec, byteWiseDeliveryMatchesBulkDelivery)
{
    QByteArray stream;
    for (int i = 0; i < 2048; ++i) {
        stream += char(i * 7);
        if (char(i * 7) == char(kIac))
            stream += char(kIac);
        if (i % 300 == 0)
            stream += bytes({kIac, kSb, kOptionComPort, 107, 0x30, kIac, kSe, kIac, kWill, 1});
    }
    TelnetCodec bulk;
    TelnetCodec bytewise;
    const QByteArray whole = bulk.decode(stream);
    QByteArray pieces;
    for (const char c : stream)
        pieces += bytewise.decode(QByteArray(1, c));
    EXPECT_EQ(whole.size(), 2048);
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(bytewise.takeAnswers(), bulk.takeAnswers());
    EXPECT_EQ(bytewise.takeComPortReplies().size(), 7u);
}

TEST(TelnetCodec, encodesDataAndPortCommands)
{
    EXPECT_EQ(TelnetCodec::encode(bytes({1, 0xFF, 0xFF, 2})),
              bytes({1, 0xFF, 0xFF, 0xFF, 0xFF, 2}));
    EXPECT_EQ(TelnetCodec::encode("no escape"), "no escape");

    TelnetCodec codec;
    EXPECT_EQ(codec.opening(), bytes({kIac, kWill, kOptionComPort, kIac, kWill, kOptionBinary, kIac,
                                      kDo, kOptionBinary, kIac, kWill, kOptionSuppressGoAhead, kIac,
                                      kDo, kOptionSuppressGoAhead}));
    // The server agreeing to what the client asked for is owed no answer.
    codec.decode(bytes({kIac, kDo, kOptionBinary, kIac, kWill, kOptionBinary, kIac, kDo,
                        kOptionSuppressGoAhead, kIac, kWill, kOptionSuppressGoAhead}));
    EXPECT_EQ(codec.takeAnswers(), QByteArray());

    const auto sub = [](std::initializer_list<int> body) {
        return bytes({kIac, kSb, kOptionComPort}) + bytes(body) + bytes({kIac, kSe});
    };
    LineSettings line;
    line.baudRate = 38400;
    line.parity = Parity::Even;
    line.dataBits = 7;
    line.stopBits = StopBits::Two;
    EXPECT_EQ(TelnetCodec::lineCommands(line), sub({kSetBaudRate, 0, 0, 0x96, 0}) +
                                                   sub({kSetDataSize, 7}) + sub({kSetParity, 3}) +
                                                   sub({kSetStopSize, 2}) + sub({kSetControl, 1}));
    line.baudRate = 0x1FF; // a value byte of 0xFF is doubled like data
    line.parity = Parity::None;
    line.dataBits = 8;
    line.stopBits = StopBits::OneAndHalf;
    EXPECT_EQ(TelnetCodec::lineCommands(line), sub({kSetBaudRate, 0, 0, 1, 0xFF, 0xFF}) +
                                                   sub({kSetDataSize, 8}) + sub({kSetParity, 1}) +
                                                   sub({kSetStopSize, 3}) + sub({kSetControl, 1}));
    EXPECT_EQ(TelnetCodec::dtrCommand(true), sub({kSetControl, 8}));
    EXPECT_EQ(TelnetCodec::dtrCommand(false), sub({kSetControl, 9}));
    EXPECT_EQ(TelnetCodec::purgeReceivedCommand(), sub({kPurgeData, 1}));
}

TEST(NetDeviceTexts, addressesAndWhatIsWrongWithThem)
{
    struct Case {
        const char* text;
        bool valid;
        NetProtocol protocol;
        const char* host;
        quint16 port;
    };
    const Case cases[] = {
        {"rfc2217://plant-a.example:4001", true, NetProtocol::Rfc2217, "plant-a.example", 4001},
        {"TCP://10.0.0.7:23", true, NetProtocol::RawTcp, "10.0.0.7", 23},
        {"rfc2217://[::1]:2217", true, NetProtocol::Rfc2217, "::1", 2217},
        {"tcp://host", false, {}, "", 0},
        {"tcp://:4001", false, {}, "", 0},
        {"tcp://host:0", false, {}, "", 0},
        {"tcp://host:65536", false, {}, "", 0},
        {"tcp://host:40x", false, {}, "", 0},
        {"tcp://::1:4001", false, {}, "", 0},
        {"/dev/ttyS0", false, {}, "", 0},
    };
    for (const Case& c : cases) {
        QString problem;
        const std::optional<NetAddress> address = parseNetDevice(c.text, &problem);
        ASSERT_EQ(address.has_value(), c.valid) << c.text;
        EXPECT_EQ(problem.isEmpty(), c.valid) << c.text;
        if (address) {
            EXPECT_EQ(address->protocol, c.protocol) << c.text;
            EXPECT_EQ(address->host, QLatin1String(c.host)) << c.text;
            EXPECT_EQ(address->port, c.port) << c.text;
        }
    }
    EXPECT_TRUE(isNetDevice("tcp://host")); // opens as a network port, and fails with the reason

    // The settings dialog's fields: split as written, joined only when the address is usable.
    for (const char* text : {"rfc2217://plant-a.example:4001", "tcp://[fe80::1]:23"}) {
        const std::optional<NetDeviceParts> parts = splitNetDevice(text);
        ASSERT_TRUE(parts) << text;
        EXPECT_EQ(joinNetDevice(*parts), QLatin1String(text));
    }
    const std::optional<NetDeviceParts> unfinished = splitNetDevice("tcp://host");
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(unfinished->host, QStringLiteral("host"));
    EXPECT_TRUE(unfinished->port.isEmpty());
    EXPECT_FALSE(splitNetDevice("/dev/ttyS0"));
    EXPECT_EQ(joinNetDevice({NetProtocol::RawTcp, " ::1 ", " 4001 "}), "tcp://[::1]:4001");
    for (const NetDeviceParts& wrong : {NetDeviceParts{NetProtocol::RawTcp, "bad host", "23"},
                                        NetDeviceParts{NetProtocol::RawTcp, "host", "0"},
                                        NetDeviceParts{NetProtocol::RawTcp, "", "23"}})
        EXPECT_TRUE(joinNetDevice(wrong).isEmpty()) << wrong.host.toStdString();
    // A network address in the settings is honoured on Windows, a device path is not.
    EXPECT_EQ(deviceForPortOn(true, 3, "rfc2217://host:4001"), "rfc2217://host:4001");
    EXPECT_EQ(deviceForPortOn(true, 3, "/dev/ttyUSB0"), "COM3");
    EXPECT_EQ(deviceForPortOn(false, 3, "tcp://host:4001"), "tcp://host:4001");
}

} // namespace
