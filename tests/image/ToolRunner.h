#pragma once
// Runs another program with an argument list (no shell) and collects what it printed.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kel::test {

struct ToolResult {
    int exitCode = -1; // -1 when the program could not be started or crashed
    QByteArray out;
    QByteArray err;
};

inline ToolResult runTool(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    QProcess process;
    process.start(program, args);
    ToolResult result;
    if (!process.waitForStarted(timeoutMs) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

} // namespace kel::test
