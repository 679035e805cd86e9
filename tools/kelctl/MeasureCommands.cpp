// kelctl measure, result and watch: the measurement panel's commands, and a log of results
// for scripts.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "Session.h"
#include "TextColumns.h"

#include "core/AppCore.h"
#include "core/MessageNumbers.h"
#include "core/ShownReply.h"
#include "sensor/MeasurementLog.h"
#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kMeasureUsage =
    "usage: kelctl measure [--continuous | --end | --other]\n\n"
    "Triggers a measurement: \"M\"; with --continuous starts continuous measurement (\"M /C\",\n"
    "which must be answered \"OK\"), with --end ends it (\"M /E\"), with --other sends \"M /I\".\n"
    "Prints the sensor's reply.\n";

const char* const kResultUsage =
    "usage: kelctl result [--json]\n\n"
    "Reads the last result (\"DATAGET 2 0\": -2, -1 or 0) and the measured value (\"DATAGET 2\n"
    "1\"), and prints the result's text and the labels in the language of the settings and the\n"
    "value as received.\n";

const char* const kWatchUsage =
    "usage: kelctl watch --every SECONDS [--count N] [--trigger] [--no-header]\n\n"
    "Reads the result and the measured value every SECONDS (0.1 or more) and prints one CSV\n"
    "line each: local time (ISO 8601), result code, value. A reading that fails gives a line\n"
    "with \"ER\" or nothing as its code and no value. Runs until Ctrl-C, or N readings with\n"
    "--count; with --trigger, each reading starts with a measurement (\"M\"). The first line\n"
    "names the columns, unless --no-header (for appending to a log). Exit status 0\n"
    "when every reading succeeded, otherwise that of the last failure.\n";

using kel::sensor::kResultCodes;

struct Reading {
    QString code;  // one of kResultCodes, or "ER", or "" when nothing usable came
    QString value; // as received
    int status = ExitOk;
};

// The result code, then the value when the code is one of the three.
Reading readResult(Session& session)
{
    Reading reading;
    const std::optional<QString> code = session.ask(kel::sensor::kResultCode, &reading.status);
    if (!code) {
        if (reading.status == ExitSensorError)
            reading.code = kel::sensor::kReplyError;
        return reading;
    }
    if (!kResultCodes.contains(*code)) {
        printError(kelctlText(session.core(), kel::KelctlUnexpectedReply,
                              {kel::shownReply(session.core(), *code), kel::sensor::kResultCode}));
        reading.status = ExitUnexpectedReply;
        return reading;
    }
    reading.code = *code;
    const std::optional<QString> value = session.ask(kel::sensor::kResultValue, &reading.status);
    if (value)
        reading.value = *value;
    return reading;
}

// Sleeps until the clock reaches the moment, waking early for Ctrl-C.
void waitUntil(const Session& session, const QElapsedTimer& clock, qint64 momentMs)
{
    constexpr qint64 kSliceMs = 50;
    while (!session.stopRequested()) {
        const qint64 left = momentMs - clock.elapsed();
        if (left <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(qMin(left, kSliceMs)));
    }
}

} // namespace

int runMeasure(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(
        args,
        {{QStringLiteral("--continuous"), QStringLiteral("--end"), QStringLiteral("--other")}, {}});
    const int chosen = parsed.flagsGiven.count(QStringLiteral("--continuous")) +
                       parsed.flagsGiven.count(QStringLiteral("--end")) +
                       parsed.flagsGiven.count(QStringLiteral("--other"));
    if (parsed.error.isEmpty() && (chosen > 1 || !parsed.positional.isEmpty()))
        parsed.error = QStringLiteral("one of --continuous, --end and --other at most");
    int status = ExitOk;
    if (!shouldRun(parsed, kMeasureUsage, status))
        return status;
    QString command = kel::sensor::kMeasure;
    if (parsed.has(QStringLiteral("--continuous")))
        command = kel::sensor::kMeasureContinuous;
    else if (parsed.has(QStringLiteral("--end")))
        command = kel::sensor::kMeasureEnd;
    else if (parsed.has(QStringLiteral("--other")))
        command = kel::sensor::kMeasureOther;

    Session session(context);
    const std::optional<QString> reply = session.ask(command, &status);
    if (!reply)
        return status;
    std::printf("%s\n", reply->toLocal8Bit().constData());
    // Only the start of a continuous measurement depends on its reply.
    if (command == kel::sensor::kMeasureContinuous && *reply != kel::sensor::kReplyOk)
        return ExitUnexpectedReply;
    return ExitOk;
}

int runResult(Context& context, const QStringList& args)
{
    const Arguments parsed =
        parseArguments(args, {{QStringLiteral("--json")}, {}, 0, "result takes no argument"});
    int status = ExitOk;
    if (!shouldRun(parsed, kResultUsage, status))
        return status;
    Session session(context);
    const Reading reading = readResult(session);
    if (reading.status != ExitOk)
        return reading.status;
    const QString text = context.core.GetMessageText(
        kel::kSectionLabel, kel::sensor::resultLabelOf(reading.code).value_or(0));
    if (parsed.has(QStringLiteral("--json"))) {
        const QJsonObject object{{QStringLiteral("code"), reading.code.toInt()},
                                 {QStringLiteral("result"), text},
                                 {QStringLiteral("value"), reading.value}};
        std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
    } else {
        // The labels in the language of the result's text, both padded to one column.
        const QString resultLabel = labelOr(context, kel::KelctlResultLabel, "result");
        const QString valueLabel = labelOr(context, kel::KelctlValueLabel, "value");
        const int column = std::max(columnsOf(resultLabel), columnsOf(valueLabel)) + 2;
        std::printf("%s%s (%s)\n%s%s\n", padded(resultLabel, column).toLocal8Bit().constData(),
                    text.toLocal8Bit().constData(), reading.code.toLocal8Bit().constData(),
                    padded(valueLabel, column).toLocal8Bit().constData(),
                    reading.value.toLocal8Bit().constData());
    }
    return ExitOk;
}

int runWatch(Context& context, const QStringList& args)
{
    Arguments parsed =
        parseArguments(args, {{QStringLiteral("--trigger"), QStringLiteral("--no-header")},
                              {QStringLiteral("--every"), QStringLiteral("--count")},
                              0,
                              "watch takes no argument"});
    bool ok = false;
    const double seconds = parsed.last(QStringLiteral("--every")).toDouble(&ok);
    if (parsed.error.isEmpty() &&
        (!ok || !std::isfinite(seconds) || seconds < 0.1 || seconds > 24 * 3600))
        parsed.error = QStringLiteral("--every needs a number of seconds from 0.1 to 86400");
    int count = 0; // 0: until stopped
    if (parsed.error.isEmpty() && !parsed.last(QStringLiteral("--count")).isEmpty()) {
        count = parsed.last(QStringLiteral("--count")).toInt(&ok);
        if (!ok || count < 1)
            parsed.error = QStringLiteral("--count needs a whole number of 1 or more");
    }
    int status = ExitOk;
    if (!shouldRun(parsed, kWatchUsage, status))
        return status;
    const qint64 periodMs = std::llround(seconds * 1000);
    const bool trigger = parsed.has(QStringLiteral("--trigger"));

    Session session(context);
    if (!parsed.has(QStringLiteral("--no-header"))) {
        std::printf("%s\n", kel::sensor::kMeasurementLogHeader.toLatin1().constData());
        std::fflush(stdout);
    }
    QElapsedTimer clock;
    clock.start();
    int lastFailure = ExitOk;
    for (int index = 0; count == 0 || index < count; ++index) {
        waitUntil(session, clock, index * periodMs);
        if (session.stopRequested())
            break;
        Reading reading;
        if (trigger && !session.ask(kel::sensor::kMeasure, &reading.status)) {
            if (reading.status == ExitSensorError)
                reading.code = kel::sensor::kReplyError;
        } else {
            reading = readResult(session);
        }
        if (reading.status == ExitStopped)
            break;
        if (reading.status == ExitPortUnavailable)
            return ExitPortUnavailable; // every further reading would fail the same way
        if (reading.status != ExitOk)
            lastFailure = reading.status;
        const QString line = kel::sensor::measurementLogLine(QDateTime::currentDateTime(),
                                                             reading.code, reading.value);
        std::printf("%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    }
    return lastFailure;
}

} // namespace kelctl
