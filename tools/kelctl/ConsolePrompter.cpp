#include "ConsolePrompter.h"
#include "core/MessageBoxStyle.h"

#include <cstdio>

namespace kelctl {

int ConsolePrompter::messageBox(const QString& text, int style, const QString& title)
{
    Q_UNUSED(title);
    lastText = text;
    const QByteArray line =
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLocal8Bit();
    std::fprintf(stderr, "kelctl: %s\n", line.constData());
    return kel::decodeMessageBoxStyle(style).defaultAnswer;
}

kel::FileDialogResult ConsolePrompter::fileDialog(const kel::FileDialogRequest& request)
{
    Q_UNUSED(request);
    return {};
}

} // namespace kelctl
