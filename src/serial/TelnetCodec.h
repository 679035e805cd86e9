#pragma once
// The Telnet side of a serial device server that speaks the COM-PORT-OPTION (RFC 2217), with
// no socket: bytes from the server go in and come out as the line's data, the answers owed to
// the server's negotiation and the server's COM-PORT-OPTION replies; the line's data and the
// port commands going out are encoded here. A table of byte strings tests it whole.
//
// The line carries binary XMODEM blocks, so both directions ask for BINARY and every 0xFF of
// the data is doubled; no other translation (no CR NUL) is applied.

#include "serial/LineSettings.h"

#include <QByteArray>
#include <bitset>
#include <utility>
#include <vector>

namespace kel::serial {

namespace telnet {
constexpr quint8 kSe = 240;
constexpr quint8 kSb = 250;
constexpr quint8 kWill = 251;
constexpr quint8 kWont = 252;
constexpr quint8 kDo = 253;
constexpr quint8 kDont = 254;
constexpr quint8 kIac = 255;

constexpr quint8 kOptionBinary = 0;
constexpr quint8 kOptionEcho = 1;
constexpr quint8 kOptionSuppressGoAhead = 3;
constexpr quint8 kOptionComPort = 44;

// COM-PORT-OPTION commands from the client; the server answers each with the number + 100.
constexpr quint8 kSetBaudRate = 1;
constexpr quint8 kSetDataSize = 2;
constexpr quint8 kSetParity = 3;
constexpr quint8 kSetStopSize = 4;
constexpr quint8 kSetControl = 5;
constexpr quint8 kPurgeData = 12;
constexpr quint8 kServerReplyOffset = 100;

// Values of SET-CONTROL.
constexpr quint8 kControlNoFlowControl = 1;
constexpr quint8 kControlDtrOn = 8;
constexpr quint8 kControlDtrOff = 9;
// Values of PURGE-DATA: the server's buffer of what the device sent it.
constexpr quint8 kPurgeReceiveBuffer = 1;
} // namespace telnet

// One COM-PORT-OPTION subnegotiation from the server: its command and the value bytes.
struct ComPortReply {
    quint8 command = 0;
    QByteArray value;
    friend bool operator==(const ComPortReply&, const ComPortReply&) = default;
};

class TelnetCodec {
public:
    enum class ComPort { Asked, Accepted, Declined };

    // What the client says first: it will use COM-PORT-OPTION, and BINARY and
    // SUPPRESS-GO-AHEAD both ways.
    QByteArray opening();

    // Bytes from the server, in any pieces: returns the line's data among them. Negotiation
    // answers collect for takeAnswers(), COM-PORT-OPTION replies for takeComPortReplies(). A
    // command cut between two pieces is finished by the next one.
    QByteArray decode(const QByteArray& bytes);
    QByteArray takeAnswers();
    std::vector<ComPortReply> takeComPortReplies();

    ComPort comPort() const { return m_comPort; }

    // The line's data for the server: every 0xFF doubled.
    static QByteArray encode(const QByteArray& data);
    // The port commands that put the device's line in the settings, flow control off.
    static QByteArray lineCommands(const LineSettings& line);
    static QByteArray dtrCommand(bool raised);
    static QByteArray purgeReceivedCommand();

private:
    enum class State { Data, Iac, Negotiation, Sub, SubIac };
    void takeCommand(quint8 byte, QByteArray& data);
    void negotiate(quint8 verb, quint8 option);
    void finishSubnegotiation();
    void answer(quint8 verb, quint8 option);

    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    QByteArray m_answers;
    std::vector<ComPortReply> m_replies;
    ComPort m_comPort = ComPort::Asked;
    std::bitset<256> m_local;       // options this side has agreed to use
    std::bitset<256> m_remote;      // options the server has agreed to use
    std::bitset<256> m_asked;       // WILL sent, no answer yet
    std::bitset<256> m_askedServer; // DO sent, no answer yet
};

} // namespace kel::serial
