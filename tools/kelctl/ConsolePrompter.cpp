#include "ConsolePrompter.h"
#include "Arguments.h"
#include "core/MessageBoxStyle.h"

#include <cstdio>

namespace kelctl {

int ConsolePrompter::messageBox(const QString& text, int style, const QString& title)
{
    Q_UNUSED(title);
    lastText = text;
    printError(text);
    return kel::decodeMessageBoxStyle(style).defaultAnswer;
}

kel::FileDialogResult ConsolePrompter::fileDialog(const kel::FileDialogRequest& request)
{
    Q_UNUSED(request);
    return {};
}

} // namespace kelctl
