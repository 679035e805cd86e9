#pragma once
// kelsim's command line: where the device is announced, where the sensor keeps its data, how
// the line behaves, what the sensor reports about its image, and the faults it can inject.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace kel::sim {

// How the sensor misbehaves for a chosen command.
enum class CommandFault {
    ReplyEr,       // answers "ER" and does nothing else
    NoReply,       // answers nothing and does nothing
    DelimiterOnly, // answers an empty line and does nothing else
    ReplyTwice,    // does what it should and sends its reply twice
    ReplyText,     // answers the rule's text and does nothing else
    HangUp,        // closes the line without answering, as if the sensor were unplugged
};

struct CommandFaultRule {
    CommandFault fault;
    QString command; // see commandMatches
    QString text;    // the reply of ReplyText, exactly as given
};

// A rule's command matches a received line that equals it, or that starts with it followed by
// a space ("BANKSAVE" matches "BANKSAVE 3"); "*" matches every line.
bool commandMatches(const QString& ruleCommand, const QString& line);

struct ImageInfo {
    quint8 phase = 0;                       // colour arrangement, 0 to 3
    std::array<quint8, 3> gains{40, 0, 25}; // red, green, blue, percent above unity
    int sizeCode = 0;                       // 0: 432 rows, 1: 216, 2: 108
};

int rowsOfSizeCode(int sizeCode);

// The delimiter of a name (cr, lf, crlf) or a settings code (0, 1, 2); false for anything else.
bool parseDelimiter(const QString& text, QByteArray& delimiter);

struct SimOptions {
    QString linkPath;     // a symbolic link to the device, kept while kelsim runs
    QString deviceFile;   // a file that receives the device path
    QString settingsFile; // a settings file whose "Device" key is pointed at the device
    QString stateDir;     // banks and system data; a temporary folder when empty
    QByteArray delimiter = "\r";
    bool delimiterGiven = false; // else a settings file's own delimiter is used
    qint32 baud = 0;             // pace both directions at this rate, 10 bits a byte; 0: unpaced
    ImageInfo image;
    int startIntervalMs = 500; // a receiving sensor repeats its start request this often
    bool quiet = false;

    QList<CommandFaultRule> commandFaults;
    bool checksumOnly = false;     // receive with checksum blocks only (start request NAK)
    bool ignoreCrcRequest = false; // as sender, do not hear "C"
    double corruptPercent = 0;     // share of the bytes sent during transfers that are altered
    double dropPercent = 0;        // share of them that never reach the line
    double losePercent = 0;        // share of the bytes received during transfers that are lost
    quint32 seed = 1;
    int cancelAfterBlock = 0; // cancel every transfer once this many blocks have passed; 0: never
    qint64 hangUpAfterBytes = 0; // close the line once a transfer has moved this many; 0: never
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    SimOptions options;
    QString error;
};

// args without the program name.
ParsedOptions parseSimOptions(const QStringList& args);
QString simUsage();

} // namespace kel::sim
