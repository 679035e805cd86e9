#include "serial/TelnetCodec.h"

#include <initializer_list>

namespace kel::serial {

using namespace telnet;

namespace {

// A server's subnegotiation longer than this is no COM-PORT-OPTION reply; the rest of it is
// skipped up to its end rather than stored.
constexpr qsizetype kLongestSubnegotiation = 64;

bool usedHere(quint8 option)
{
    return option == kOptionBinary || option == kOptionSuppressGoAhead || option == kOptionComPort;
}

bool usedByServer(quint8 option)
{
    return option == kOptionBinary || option == kOptionSuppressGoAhead;
}

QByteArray bytesOf(std::initializer_list<quint8> values)
{
    QByteArray bytes;
    for (const quint8 value : values)
        bytes += char(value);
    return bytes;
}

QByteArray command(quint8 verb, quint8 option)
{
    return bytesOf({kIac, verb, option});
}

QByteArray subnegotiation(quint8 portCommand, const QByteArray& value)
{
    QByteArray bytes = bytesOf({kIac, kSb, kOptionComPort, portCommand});
    bytes += TelnetCodec::encode(value);
    bytes += char(kIac);
    bytes += char(kSe);
    return bytes;
}

quint8 parityValue(Parity parity)
{
    switch (parity) {
    case Parity::Odd:
        return 2;
    case Parity::Even:
        return 3;
    case Parity::Mark:
        return 4;
    case Parity::Space:
        return 5;
    case Parity::None:
        break;
    }
    return 1;
}

quint8 stopSizeValue(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::Two:
        return 2;
    case StopBits::OneAndHalf:
        return 3;
    case StopBits::One:
        break;
    }
    return 1;
}

} // namespace

QByteArray TelnetCodec::opening()
{
    m_comPort = ComPort::Asked;
    m_asked.reset();
    for (quint8 option : {kOptionComPort, kOptionBinary, kOptionSuppressGoAhead})
        m_asked.set(option);
    m_askedServer = m_asked;
    m_askedServer.reset(kOptionComPort);
    return command(kWill, kOptionComPort) + command(kWill, kOptionBinary) +
           command(kDo, kOptionBinary) + command(kWill, kOptionSuppressGoAhead) +
           command(kDo, kOptionSuppressGoAhead);
}

QByteArray TelnetCodec::decode(const QByteArray& bytes)
{
    QByteArray data;
    data.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<quint8>(c);
        switch (m_state) {
        case State::Data:
            if (byte == kIac)
                m_state = State::Iac;
            else
                data += c;
            break;
        case State::Iac:
            takeCommand(byte, data);
            break;
        case State::Negotiation:
            negotiate(m_verb, byte);
            m_state = State::Data;
            break;
        case State::Sub:
            if (byte == kIac)
                m_state = State::SubIac;
            else if (m_sub.size() < kLongestSubnegotiation)
                m_sub += c;
            break;
        case State::SubIac:
            if (byte == kIac) {
                if (m_sub.size() < kLongestSubnegotiation)
                    m_sub += c;
                m_state = State::Sub;
            } else {
                // SE ends it; any other command ends an unterminated one and is taken as such.
                finishSubnegotiation();
                m_state = State::Data;
                if (byte != kSe)
                    takeCommand(byte, data);
            }
            break;
        }
    }
    return data;
}

// The byte after an IAC.
void TelnetCodec::takeCommand(quint8 byte, QByteArray& data)
{
    m_state = State::Data;
    switch (byte) {
    case kIac:
        data += char(kIac);
        break;
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        m_verb = byte;
        m_state = State::Negotiation;
        break;
    case kSb:
        m_sub.clear();
        m_state = State::Sub;
        break;
    default: // NOP, data mark, go ahead and the rest carry nothing for the line
        break;
    }
}

// Agrees to what this side uses and refuses the rest, answering only a change of state, so
// that two sides never answer each other's answers for ever.
void TelnetCodec::negotiate(quint8 verb, quint8 option)
{
    switch (verb) {
    case kDo:
        if (!usedHere(option)) {
            answer(kWont, option);
        } else if (!m_local.test(option)) {
            m_local.set(option);
            if (!m_asked.test(option))
                answer(kWill, option);
        }
        m_asked.reset(option);
        if (option == kOptionComPort)
            m_comPort = ComPort::Accepted;
        break;
    case kDont:
        if (m_local.test(option) && !m_asked.test(option))
            answer(kWont, option);
        m_local.reset(option);
        m_asked.reset(option);
        if (option == kOptionComPort)
            m_comPort = ComPort::Declined;
        break;
    case kWill:
        if (!usedByServer(option)) {
            answer(kDont, option);
        } else if (!m_remote.test(option)) {
            m_remote.set(option);
            if (!m_askedServer.test(option))
                answer(kDo, option);
        }
        m_askedServer.reset(option);
        break;
    case kWont:
        if (m_remote.test(option) && !m_askedServer.test(option))
            answer(kDont, option);
        m_remote.reset(option);
        m_askedServer.reset(option);
        break;
    }
}

void TelnetCodec::answer(quint8 verb, quint8 option)
{
    m_answers += command(verb, option);
}

void TelnetCodec::finishSubnegotiation()
{
    if (m_sub.size() >= 2 && quint8(m_sub.at(0)) == kOptionComPort)
        m_replies.push_back({quint8(m_sub.at(1)), m_sub.mid(2)});
    m_sub.clear();
}

QByteArray TelnetCodec::takeAnswers()
{
    return std::exchange(m_answers, {});
}

std::vector<ComPortReply> TelnetCodec::takeComPortReplies()
{
    return std::exchange(m_replies, {});
}

QByteArray TelnetCodec::encode(const QByteArray& data)
{
    if (!data.contains(char(kIac)))
        return data;
    QByteArray bytes;
    bytes.reserve(data.size() + data.count(char(kIac)));
    for (const char c : data) {
        bytes += c;
        if (quint8(c) == kIac)
            bytes += c;
    }
    return bytes;
}

QByteArray TelnetCodec::lineCommands(const LineSettings& line)
{
    const auto baud = static_cast<quint32>(line.baudRate);
    const QByteArray baudValue =
        bytesOf({quint8(baud >> 24), quint8(baud >> 16), quint8(baud >> 8), quint8(baud)});
    return subnegotiation(kSetBaudRate, baudValue) +
           subnegotiation(kSetDataSize, QByteArray(1, char(line.dataBits))) +
           subnegotiation(kSetParity, QByteArray(1, char(parityValue(line.parity)))) +
           subnegotiation(kSetStopSize, QByteArray(1, char(stopSizeValue(line.stopBits)))) +
           subnegotiation(kSetControl, QByteArray(1, char(kControlNoFlowControl)));
}

QByteArray TelnetCodec::dtrCommand(bool raised)
{
    return subnegotiation(kSetControl,
                          QByteArray(1, char(raised ? kControlDtrOn : kControlDtrOff)));
}

QByteArray TelnetCodec::purgeReceivedCommand()
{
    return subnegotiation(kPurgeData, QByteArray(1, char(kPurgeReceiveBuffer)));
}

} // namespace kel::serial
