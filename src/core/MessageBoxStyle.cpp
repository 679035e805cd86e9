#include "core/MessageBoxStyle.h"
#include "core/Prompter.h"

namespace kel {

MessageBoxLayout decodeMessageBoxStyle(int style)
{
    MessageBoxLayout layout;
    switch (style & 0xF) {
    case 1:
        layout.buttons = {AnswerOk, AnswerCancel};
        layout.escapeAnswer = AnswerCancel;
        break;
    case 2:
        layout.buttons = {AnswerAbort, AnswerRetry, AnswerIgnore};
        break;
    case 3:
        layout.buttons = {AnswerYes, AnswerNo, AnswerCancel};
        layout.escapeAnswer = AnswerCancel;
        break;
    case 4:
        layout.buttons = {AnswerYes, AnswerNo};
        break;
    case 5:
        layout.buttons = {AnswerRetry, AnswerCancel};
        layout.escapeAnswer = AnswerCancel;
        break;
    default:
        layout.buttons = {AnswerOk};
        layout.escapeAnswer = AnswerOk;
        break;
    }
    switch (style & 0xF0) {
    case 16:
        layout.icon = MessageIcon::Critical;
        break;
    case 32:
        layout.icon = MessageIcon::Question;
        break;
    case 48:
        layout.icon = MessageIcon::Warning;
        break;
    case 64:
        layout.icon = MessageIcon::Information;
        break;
    default:
        break;
    }
    const int defaultIndex = (style & 0xF00) >> 8;
    layout.defaultAnswer =
        layout.buttons.value(defaultIndex < layout.buttons.size() ? defaultIndex : 0);
    return layout;
}

} // namespace kel
