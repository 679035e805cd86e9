#include "support/KelsimFixture.h"

#include "core/ProfileFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace kel::test {

namespace {

constexpr int kStartTimeoutMs = 10000;

} // namespace

void endWithThisProcess(QProcess& process)
{
#ifdef Q_OS_LINUX
    // A test that dies (a crash, a time-out's kill) runs no destructor: the system ends the
    // child then. The check catches a parent that died before the request was made.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
            ::_exit(127);
    });
#else
    Q_UNUSED(process);
#endif
}

KelsimProcess::KelsimProcess(const KelsimOptions& options)
    : m_options(options), m_process(std::make_unique<QProcess>())
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    m_process->setProgram(QStringLiteral(KEL_APP_BIN_DIR "/kelsim"));
    QStringList arguments{QStringLiteral("--state"), stateDir(), QStringLiteral("--start-interval"),
                          QString::number(options.startIntervalMs)};
    if (options.delimiterCode >= 0)
        arguments << QStringLiteral("--delimiter") << QString::number(options.delimiterCode);
    m_process->setArguments(arguments + options.arguments);
    m_process->setWorkingDirectory(folder());
    // A file, not a pipe: nobody drains a pipe while a test runs, and a full one would stall
    // kelsim.
    m_process->setStandardErrorFile(file(QStringLiteral("kelsim.log")));
    endWithThisProcess(*m_process);
    m_process->start();
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        m_error = QStringLiteral("kelsim did not start: ") + m_process->errorString();
        return;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray announced;
    while (!announced.contains('\n') && !deadline.hasExpired() &&
           m_process->state() == QProcess::Running) {
        m_process->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        announced += m_process->readAllStandardOutput();
    }
    m_device = QString::fromLocal8Bit(announced.left(announced.indexOf('\n')));
    m_ready = announced.contains('\n') && QFileInfo::exists(m_device);
    if (!m_ready)
        m_error = QStringLiteral("kelsim announced no device: ") + QString::fromLocal8Bit(log());
}

KelsimProcess::~KelsimProcess()
{
    stop();
}

qint64 KelsimProcess::pid() const
{
    return m_process->processId();
}

QString KelsimProcess::writeSettings(const QString& path) const
{
    const QString target = path.isEmpty() ? settingsFile() : path;
    QFile out(target);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << target.toStdString();
    out.write(QStringLiteral("[OPERATION]\r\nLanguage=English\r\n[COM]\r\nPort=1\r\n"
                             "Setting=38400,N,8,1\r\nDelimitr=%1\r\nDevice=%2\r\n")
                  .arg(qMax(m_options.delimiterCode, 0))
                  .arg(m_device)
                  .toLocal8Bit());
    return target;
}

bool KelsimProcess::pointSettingsAt(const QString& path) const
{
    return profile::writeString(path, QStringLiteral("COM"), QStringLiteral("Device"), m_device).ok;
}

std::unique_ptr<QProcess> KelsimProcess::startKelctl(const QStringList& args) const
{
    if (!QFileInfo::exists(settingsFile()))
        writeSettings();
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral(KEL_APP_BIN_DIR "/kelctl"));
    process->setArguments(QStringList{QStringLiteral("--settings"), settingsFile()} + args);
    process->setWorkingDirectory(folder());
    endWithThisProcess(*process);
    process->start();
    if (!process->waitForStarted(kStartTimeoutMs))
        return nullptr;
    return process;
}

KelctlResult KelsimProcess::finishKelctl(QProcess& process, int timeoutMs)
{
    KelctlResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.status = process.exitCode();
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

KelctlResult KelsimProcess::kelctl(const QStringList& args, int timeoutMs) const
{
    const std::unique_ptr<QProcess> process = startKelctl(args);
    return process ? finishKelctl(*process, timeoutMs) : KelctlResult{};
}

int KelsimProcess::stop(int timeoutMs)
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return -1;
    ::kill(static_cast<pid_t>(m_process->processId()), SIGTERM);
    if (m_process->waitForFinished(timeoutMs))
        return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    m_process->kill();
    m_process->waitForFinished(2000);
    return -1;
}

QByteArray KelsimProcess::log() const
{
    QFile in(file(QStringLiteral("kelsim.log")));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace kel::test
