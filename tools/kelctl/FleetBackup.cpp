#include "FleetBackup.h"
#include "Arguments.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "SensorList.h"
#include "StopOnInterrupt.h"
#include "TextColumns.h"

#include "core/MessageNumbers.h"
#include "sensor/BackupSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <memory>

#ifndef _WIN32
#include <csignal>
#endif

namespace kelctl {

namespace {

struct SensorRun {
    SensorEntry sensor;
    std::unique_ptr<QProcess> process;
    QElapsedTimer clock;
    double seconds = 0;
    int status = ExitFailure;
    qint64 bytes = 0;
    bool done = false;
};

// The block files a run listed as written (the manifest aside), added up.
qint64 bytesListed(const QByteArray& out)
{
    qint64 bytes = 0;
    for (const QByteArray& line : out.split('\n')) {
        const QString path = QString::fromLocal8Bit(line.trimmed());
        const QFileInfo file(path);
        if (!path.isEmpty() && file.fileName() != kel::sensor::kManifestName)
            bytes += file.size();
    }
    return bytes;
}

QStringList childArguments(const Context& context, const SensorEntry& sensor, const QString& folder)
{
    QStringList args;
    if (!context.settingsFile.isEmpty())
        args << QStringLiteral("--settings") << context.settingsFile;
    args << QStringLiteral("--device") << sensor.device << QStringLiteral("backup")
         << QDir(folder).filePath(sensor.name);
    return args;
}

// Ctrl-C reaches the sensors' runs through the terminal; a stop meant for this process alone
// is passed on, so each run stops its transfer and marks its set incomplete.
void passStopOn(std::vector<SensorRun>& runs)
{
    for (SensorRun& run : runs) {
        if (run.done)
            continue;
#ifdef _WIN32
        run.process->kill();
#else
        ::kill(static_cast<pid_t>(run.process->processId()), SIGINT);
#endif
    }
}

void finished(SensorRun& run)
{
    run.done = true;
    run.seconds = static_cast<double>(run.clock.elapsed()) / 1000.0;
    const bool exited = run.process->exitStatus() == QProcess::NormalExit &&
                        run.process->error() != QProcess::FailedToStart;
    run.status = exited ? run.process->exitCode() : ExitFailure;
    run.bytes = bytesListed(run.process->readAllStandardOutput());
    // Each run's messages together, named, instead of interleaved with the others'.
    for (const QByteArray& line : run.process->readAllStandardError().split('\n')) {
        if (!line.trimmed().isEmpty())
            std::fprintf(stderr, "%s: %s\n", run.sensor.name.toLocal8Bit().constData(),
                         line.constData());
    }
    if (!exited)
        std::fprintf(stderr, "%s: %s\n", run.sensor.name.toLocal8Bit().constData(),
                     run.process->errorString().toLocal8Bit().constData());
}

void printSummary(const Context& context, const std::vector<SensorRun>& runs, bool json)
{
    const auto text = [&](int number) {
        return context.core.GetMessageText(kel::kSectionKelctl, number);
    };
    if (json) {
        QJsonArray list;
        for (const SensorRun& run : runs)
            list.append(QJsonObject{{"name", run.sensor.name},
                                    {"device", run.sensor.device},
                                    {"result", run.status == ExitOk ? "complete" : "incomplete"},
                                    {"status", run.status},
                                    {"seconds", run.seconds},
                                    {"bytes", run.bytes}});
        std::printf("%s", QJsonDocument(list).toJson().constData());
        return;
    }
    // Columns by the width a terminal gives each text: a Japanese character takes two.
    std::vector<QStringList> rows{{text(kel::KelctlSummaryName), text(kel::KelctlSummaryResult),
                                   text(kel::KelctlSummarySeconds), text(kel::KelctlSummaryBytes)}};
    for (const SensorRun& run : runs) {
        const QString result =
            run.status == ExitOk
                ? text(kel::KelctlSetComplete)
                : QStringLiteral("%1 (%2)").arg(text(kel::KelctlSetIncomplete)).arg(run.status);
        rows.push_back({run.sensor.name, result, QString::number(run.seconds, 'f', 1),
                        QString::number(run.bytes)});
    }
    int widths[4] = {0, 16, 8, 10};
    for (const QStringList& cells : rows)
        for (int column = 0; column < 4; ++column)
            widths[column] = std::max(widths[column], columnsOf(cells[column]));
    const auto right = [](const QString& cell, int columns) {
        return QString(std::max(0, columns - columnsOf(cell)), QLatin1Char(' ')) + cell;
    };
    for (const QStringList& cells : rows)
        std::printf("%s  %s  %s  %s\n", padded(cells[0], widths[0]).toLocal8Bit().constData(),
                    padded(cells[1], widths[1]).toLocal8Bit().constData(),
                    right(cells[2], widths[2]).toLocal8Bit().constData(),
                    right(cells[3], widths[3]).toLocal8Bit().constData());
}

} // namespace

int runFleetBackup(Context& context, const QString& folder, bool json)
{
    QString error;
    const std::optional<QList<SensorEntry>> sensors = readSensorList(
        context.sensorsFile,
        [&](int number) { return context.core.GetMessageText(kel::kSectionKelctl, number); },
        &error);
    if (!sensors) {
        printError(error);
        return ExitUsage;
    }
    if (!QDir().mkpath(folder)) {
        printError(kelctlText(context.core, kel::KelctlCannotMakeFolder,
                              {QDir::toNativeSeparators(folder)}));
        return ExitFileError;
    }

    std::atomic<bool> stop{false};
    const StopOnInterrupt interrupt(stop);
    std::vector<SensorRun> runs(static_cast<size_t>(sensors->size()));
    QEventLoop loop;
    int running = 0;
    for (qsizetype i = 0; i < sensors->size(); ++i) {
        SensorRun& run = runs[static_cast<size_t>(i)];
        run.sensor = sensors->at(i);
        run.process = std::make_unique<QProcess>();
        QObject::connect(run.process.get(), &QProcess::finished, &loop, [&run, &running, &loop] {
            finished(run);
            if (--running == 0)
                loop.quit();
        });
        QObject::connect(run.process.get(), &QProcess::errorOccurred, &loop,
                         [&run, &running, &loop](QProcess::ProcessError problem) {
                             if (problem != QProcess::FailedToStart || run.done)
                                 return;
                             finished(run);
                             if (--running == 0)
                                 loop.quit();
                         });
        ++running;
        run.clock.start();
        run.process->start(QCoreApplication::applicationFilePath(),
                           childArguments(context, run.sensor, folder));
    }
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, &loop, [&] {
        if (stop.exchange(false))
            passStopOn(runs);
    });
    stopWatch.start(100);
    if (running > 0)
        loop.exec();

    printSummary(context, runs, json);
    std::fflush(stdout);
    int status = ExitOk;
    for (const SensorRun& run : runs)
        status = worseStatus(status, run.status);
    return status;
}

} // namespace kelctl
