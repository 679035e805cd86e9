// The message idiom: numbered texts of the message file shown as message boxes.

#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "core/VbConvert.h"

#include <QFileInfo>
#include <limits>

namespace kel {

QString AppCore::GetMessageText(const QString& section, qint32 number) const
{
    const profile::ReadResult result =
        profile::readString(messageFile(), section, QString::number(number));
    if (result.status != profile::ReadStatus::Ok)
        return {};
    QString text = result.value;
    text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    text.remove(QLatin1Char('\t'));
    return text;
}

bool AppCore::ShowMessage(const QString& section, qint32 number, QString* failure,
                          const QString& moreText, const QStringList& arguments)
{
    // A question that could not be asked was not answered yes: the answer to an earlier box
    // must not stand in for it.
    iMsgAnswer = AnswerNo;
    vntMessage = GetMessageText(section, number).split(QLatin1Char('@'));
    const QString where = QStringLiteral(" (%1 %2 in %3)")
                              .arg(section)
                              .arg(number)
                              .arg(QFileInfo(messageFile()).fileName());
    if (vntMessage.size() < 2) {
        if (failure)
            *failure = QStringLiteral("Subscript out of range") + where;
        return false;
    }
    QString error;
    const std::optional<int> style = toWholeNumber(
        vntMessage.at(1), std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &error);
    if (!style) {
        if (failure)
            *failure = error + where;
        return false;
    }
    // Filled in after the split, so that an argument holding "@" (a folder may) is no style.
    QString text = filledIn(vntMessage.at(0).trimmed(), arguments);
    if (!moreText.isEmpty())
        text += QStringLiteral("\r\n") + moreText;
    iMsgAnswer = static_cast<qint16>(m_prompter->messageBox(text, *style, kAppTitle));
    return true;
}

void AppCore::ShowMessageOrFailure(const QString& section, qint32 number,
                                   const QStringList& arguments)
{
    QString failure;
    if (!ShowMessage(section, number, &failure, {}, arguments))
        ShowFailure(failure);
}

int AppCore::AskQuestion(qint32 number, const QStringList& arguments)
{
    QString failure;
    if (!ShowMessage(kSectionQuestion, number, &failure, {}, arguments)) {
        ShowFailure(failure);
        return 0; // never the answer of an earlier box
    }
    return iMsgAnswer;
}

bool AppCore::Agrees(qint32 question, const QStringList& arguments)
{
    const int answer = AskQuestion(question, arguments);
    return answer == AnswerYes || answer == AnswerOk;
}

namespace {

// Asks nobody: every box is cancelled, every file dialog too.
class SilentPrompter : public Prompter {
public:
    int messageBox(const QString&, int, const QString&) override { return AnswerCancel; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
};

} // namespace

void AppCore::silenceBoxes()
{
    static SilentPrompter silent;
    m_prompter = &silent;
}

void AppCore::ShowFailure(const QString& description)
{
    m_prompter->messageBox(description, kStyleCriticalOk, kAppTitle);
}

} // namespace kel
