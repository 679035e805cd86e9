#include "SimOptions.h"

#include "core/Delimiter.h"
#include "image/ImageState.h"
#include "sensor/SensorProtocol.h"

#include <functional>
#include <map>

namespace kel::sim {

namespace {

bool parseInt(const QString& text, qint64 low, qint64 high, qint64& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= low && value <= high;
}

bool parsePercent(const QString& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= 0 && value <= 100;
}

bool parseGains(const QString& text, std::array<quint8, 3>& gains)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        qint64 gain = 0;
        if (!parseInt(parts[i].trimmed(), 0, 255, gain))
            return false;
        gains[i] = static_cast<quint8>(gain);
    }
    return true;
}

// Each option with a value: what it sets, and false when the value is unusable.
using Setter = std::function<bool(SimOptions&, const QString&)>;

const std::map<QString, Setter>& valueOptions()
{
    auto integer = [](auto field, qint64 low, qint64 high) -> Setter {
        return [=](SimOptions& o, const QString& v) {
            qint64 value = 0;
            if (!parseInt(v, low, high, value))
                return false;
            field(o) = static_cast<std::remove_reference_t<decltype(field(o))>>(value);
            return true;
        };
    };
    auto text = [](QString SimOptions::*field) -> Setter {
        return [=](SimOptions& o, const QString& v) {
            o.*field = v;
            return !v.isEmpty();
        };
    };
    auto rule = [](CommandFault fault) -> Setter {
        return [=](SimOptions& o, const QString& v) {
            o.commandFaults.append({fault, v.trimmed(), {}});
            return !v.trimmed().isEmpty();
        };
    };
    static const std::map<QString, Setter> table = {
        {"--link", text(&SimOptions::linkPath)},
        {"--device-file", text(&SimOptions::deviceFile)},
        {"--settings", text(&SimOptions::settingsFile)},
        {"--state", text(&SimOptions::stateDir)},
        {"--delimiter",
         [](SimOptions& o, const QString& v) {
             o.delimiterGiven = true;
             return parseDelimiter(v, o.delimiter);
         }},
        {"--baud", integer([](SimOptions& o) -> qint32& { return o.baud; }, 0, 4000000)},
        {"--phase", integer([](SimOptions& o) -> quint8& { return o.image.phase; }, 0, 3)},
        {"--gains", [](SimOptions& o, const QString& v) { return parseGains(v, o.image.gains); }},
        {"--size-code", integer([](SimOptions& o) -> int& { return o.image.sizeCode; }, 0, 2)},
        {"--start-interval",
         integer([](SimOptions& o) -> int& { return o.startIntervalMs; }, 10, 60000)},
        {"--reply-er", rule(CommandFault::ReplyEr)},
        {"--no-reply", rule(CommandFault::NoReply)},
        {"--empty-reply", rule(CommandFault::DelimiterOnly)},
        {"--reply-twice", rule(CommandFault::ReplyTwice)},
        {"--hang-up-on", rule(CommandFault::HangUp)},
        {"--reply",
         [](SimOptions& o, const QString& v) {
             // CMD=TEXT: the text is kept as written, blanks included (" 0" is not "0").
             const qsizetype equals = v.indexOf(QLatin1Char('='));
             if (equals <= 0 || v.left(equals).trimmed().isEmpty())
                 return false;
             o.commandFaults.append(
                 {CommandFault::ReplyText, v.left(equals).trimmed(), v.mid(equals + 1)});
             return true;
         }},
        {"--corrupt",
         [](SimOptions& o, const QString& v) { return parsePercent(v, o.corruptPercent); }},
        {"--drop", [](SimOptions& o, const QString& v) { return parsePercent(v, o.dropPercent); }},
        {"--lose", [](SimOptions& o, const QString& v) { return parsePercent(v, o.losePercent); }},
        {"--seed", integer([](SimOptions& o) -> quint32& { return o.seed; }, 0, 0xFFFFFFFFLL)},
        {"--cancel-after",
         integer([](SimOptions& o) -> int& { return o.cancelAfterBlock; }, 1, 1 << 30)},
        {"--hang-up-after",
         integer([](SimOptions& o) -> qint64& { return o.hangUpAfterBytes; }, 1, 1LL << 40)},
    };
    return table;
}

const std::map<QString, bool SimOptions::*>& flagOptions()
{
    static const std::map<QString, bool SimOptions::*> table = {
        {"--quiet", &SimOptions::quiet},
        {"--checksum-only", &SimOptions::checksumOnly},
        {"--ignore-c", &SimOptions::ignoreCrcRequest},
    };
    return table;
}

} // namespace

bool parseDelimiter(const QString& text, QByteArray& delimiter)
{
    const std::optional<kel::Delimiter> named = kel::delimiterOfName(text);
    if (!named)
        return false;
    delimiter = kel::charactersOf(*named).toLatin1();
    return true;
}

bool commandMatches(const QString& ruleCommand, const QString& line)
{
    if (ruleCommand == QLatin1String("*") || line == ruleCommand)
        return true;
    return line.startsWith(ruleCommand + QLatin1Char(' '));
}

int rowsOfSizeCode(int sizeCode)
{
    return sensor::rowsOfSizeCode(sizeCode).value_or(kSensorFullHeight);
}

ParsedOptions parseSimOptions(const QStringList& args)
{
    ParsedOptions parsed;
    auto fail = [&parsed](const QString& error) {
        parsed.outcome = ParsedOptions::Outcome::Error;
        parsed.error = error;
        return parsed;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            parsed.outcome = ParsedOptions::Outcome::Help;
            return parsed;
        }
        if (const auto flag = flagOptions().find(name); flag != flagOptions().end()) {
            parsed.options.*(flag->second) = true;
            continue;
        }
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (valueOptions().count(name) && i + 1 < args.size()) {
            value = args[++i];
        } else if (valueOptions().count(name)) {
            return fail(name + QStringLiteral(" needs a value"));
        }
        const auto option = valueOptions().find(name);
        if (option == valueOptions().end())
            return fail(QStringLiteral("unknown option '%1'").arg(name));
        if (!option->second(parsed.options, value))
            return fail(QStringLiteral("%1: unusable value '%2'").arg(name, value));
    }
    return parsed;
}

QString simUsage()
{
    return QStringLiteral(
        "usage: kelsim [OPTIONS]\n"
        "A simulated KEL sensor on a pseudo-terminal. Prints the device path on the first line\n"
        "of its output, then serves commands and XMODEM transfers until SIGTERM or SIGINT.\n"
        "\n"
        "Where the device is announced:\n"
        "  --link PATH          keep a symbolic link PATH to the device while running\n"
        "  --device-file FILE   write the device path into FILE\n"
        "  --settings FILE      point key \"Device\" of section [COM] of the settings file\n"
        "                       FILE at the link (or the device); other keys stay as they are.\n"
        "                       Without --delimiter, the file's \"Delimitr\" is used\n"
        "\n"
        "The sensor:\n"
        "  --state DIR          folder of the bank and system data (default: a temporary\n"
        "                       folder removed at exit)\n"
        "  --delimiter D        end of command and reply lines: cr, lf or crlf (or 0, 1, 2 as\n"
        "                       in Setting.ini); default cr\n"
        "  --baud N             pace both directions at N baud, 10 bits a byte (default:\n"
        "                       unpaced)\n"
        "  --phase N            colour arrangement reported and used, 0 to 3 (default 0)\n"
        "  --gains R,G,B        gains in percent above unity, 0 to 255 (default 40,0,25)\n"
        "  --size-code N        image height: 0 = 432 rows, 1 = 216, 2 = 108 (default 0)\n"
        "  --start-interval MS  a receiving sensor repeats its start request this often\n"
        "                       (default 500)\n"
        "  --quiet              do not log commands and transfers on stderr\n"
        "\n"
        "Faults (CMD is a command line such as \"IMGSAVE 0\"; a prefix followed by a space\n"
        "matches too, so \"BANKSAVE\" covers every bank; \"*\" matches every command;\n"
        "each may be given several times):\n"
        "  --reply-er CMD       answer CMD with \"ER\" and do nothing\n"
        "  --no-reply CMD       stay silent for CMD and do nothing\n"
        "  --empty-reply CMD    answer CMD with the delimiter alone and do nothing\n"
        "  --reply-twice CMD    carry out CMD and send its reply twice\n"
        "  --reply CMD=TEXT     answer CMD with TEXT exactly and do nothing else\n"
        "  --hang-up-on CMD     close the line when CMD arrives, without answering, as an\n"
        "                       unplugged sensor would, and end\n"
        "  --checksum-only      receive files with checksum blocks only (start with NAK)\n"
        "  --ignore-c           when sending a file, do not hear the CRC start request \"C\"\n"
        "  --corrupt PERCENT    alter this share of the bytes sent during transfers\n"
        "  --drop PERCENT       leave out this share of the bytes sent during transfers\n"
        "  --lose PERCENT       lose this share of the bytes received during transfers (the\n"
        "                       PC's ACK, NAK and start requests, and its blocks)\n"
        "  --seed N             seed of the corrupt and drop choices (default 1)\n"
        "  --cancel-after N     cancel every transfer once N blocks have been accepted\n"
        "  --hang-up-after N    close the line once a transfer has sent and received N bytes\n"
        "                       together, as an unplugged sensor would, and end\n"
        "\n"
        "  --help               this text\n");
}

} // namespace kel::sim
