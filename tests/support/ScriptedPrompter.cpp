#include "support/ScriptedPrompter.h"
#include "core/MessageBoxStyle.h"

namespace kel::test {

int ScriptedPrompter::messageBox(const QString& text, int style, const QString& title)
{
    boxes.append({text, style, title});
    if (answers.empty())
        return decodeMessageBoxStyle(style).defaultAnswer;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

FileDialogResult ScriptedPrompter::fileDialog(const FileDialogRequest& request)
{
    dialogs.append(request);
    if (dialogAnswers.empty())
        return {};
    FileDialogResult answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

} // namespace kel::test
