#include "ui/QtPrompter.h"
#include "core/MessageBoxStyle.h"

#include <QApplication>
#include <QFileDialog>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace kel {

namespace {

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case AnswerCancel:
        return QMessageBox::Cancel;
    case AnswerAbort:
        return QMessageBox::Abort;
    case AnswerRetry:
        return QMessageBox::Retry;
    case AnswerIgnore:
        return QMessageBox::Ignore;
    case AnswerYes:
        return QMessageBox::Yes;
    case AnswerNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon messageIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int QtPrompter::messageBox(const QString& text, int style, const QString& title)
{
    const MessageBoxLayout layout = decodeMessageBoxStyle(style);
    QMessageBox box(messageIcon(layout.icon), title,
                    QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QMap<QAbstractButton*, int> answers;
    for (int answer : layout.buttons) {
        QPushButton* button = box.addButton(standardButton(answer));
        answers.insert(button, answer);
        if (answer == layout.defaultAnswer)
            box.setDefaultButton(button);
        if (answer == layout.escapeAnswer)
            box.setEscapeButton(button);
    }
    box.exec();
    // A box without an escape button can still be closed by the window manager; that counts
    // as the default answer rather than an answer the caller never expects.
    return answers.value(box.clickedButton(),
                         layout.escapeAnswer ? layout.escapeAnswer : layout.defaultAnswer);
}

QString suffixOfNameFilter(const QString& nameFilter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([^*?;\\s)]+)[\\s)]"));
    const QRegularExpressionMatch match = firstPattern.match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

FileDialogResult QtPrompter::fileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.mode == FileDialogRequest::Mode::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else if (save) {
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : (request.fileMustExist ? QFileDialog::ExistingFile
                                                                        : QFileDialog::AnyFile));
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilters(request.nameFilters);
    if (request.filterIndex >= 0 && request.filterIndex < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.filterIndex));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (save) {
        // A name typed without an extension gets the chosen filter's before the dialog asks
        // about overwriting, so the question is about the file that will be written.
        const auto takeSuffixOf = [&dialog](const QString& nameFilter) {
            dialog.setDefaultSuffix(suffixOfNameFilter(nameFilter));
        };
        takeSuffixOf(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeSuffixOf);
    }

    FileDialogResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    if (result.accepted) {
        result.files = dialog.selectedFiles();
        result.filterIndex = int(request.nameFilters.indexOf(dialog.selectedNameFilter()));
    }
    return result;
}

} // namespace kel
