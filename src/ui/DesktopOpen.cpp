#include "ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace kel {

void openWithDesktop(const QUrl& document, QObject* context, const std::function<void()>& failed)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // QDesktopServices starts the opener and reports success even when it finds no program.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        failed();
        return;
    }
    auto* process = new QProcess(context);
    process->setProgram(opener);
    process->setArguments({document.toString()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, context,
                     [process, failed](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             failed();
                     });
    QObject::connect(process, &QProcess::errorOccurred, context,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash or a read error is followed by finished
                         process->deleteLater();
                         failed();
                     });
    process->start();
#else
    Q_UNUSED(context);
    if (!QDesktopServices::openUrl(document))
        failed();
#endif
}

} // namespace kel
