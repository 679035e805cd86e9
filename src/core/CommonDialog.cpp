#include "core/CommonDialog.h"

#include <QDir>
#include <QFileInfo>

namespace kel {

namespace {

QString patternsOf(const QString& pattern)
{
    QStringList patterns;
    for (const QString& piece : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = piece.trimmed();
        if (trimmed.isEmpty())
            continue;
        patterns << trimmed;
        if (trimmed.toLower() != trimmed)
            patterns << trimmed.toLower();
    }
    patterns.removeDuplicates();
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList pieces = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2)
        result << QStringLiteral("%1 (%2)").arg(pieces[i].trimmed(), patternsOf(pieces[i + 1]));
    return result;
}

int CommonDialog::show(FileDialogRequest::Mode mode)
{
    FileDialogRequest request;
    request.mode = mode;
    request.title = DialogTitle;
    request.nameFilters = qtNameFilters(Filter);
    request.filterIndex = FilterIndex - 1;
    request.directory = InitDir;
    if (!FileName.contains(QChar(0))) // a multiple choice is no name to propose
        request.fileName = FileName;
    request.multiSelect = Flags & cdlOFNAllowMultiselect;
    request.confirmOverwrite = Flags & cdlOFNOverwritePrompt;
    request.fileMustExist = mode == FileDialogRequest::Mode::Open;

    const FileDialogResult result = m_prompter.fileDialog(request);
    if (!result.accepted || result.files.isEmpty()) {
        if (CancelError)
            return cdlCancel;
        FileName.clear();
        FileTitle.clear();
        return 0;
    }

    FilterIndex = result.filterIndex + 1;
    if (result.files.size() == 1) {
        FileName = QDir::toNativeSeparators(result.files.first());
        FileTitle = QFileInfo(result.files.first()).fileName();
    } else {
        QStringList parts{QDir::toNativeSeparators(QFileInfo(result.files.first()).path())};
        for (const QString& file : result.files)
            parts << QFileInfo(file).fileName();
        FileName = parts.join(QChar(0));
        FileTitle.clear();
    }
    return 0;
}

QStringList CommonDialog::chosenFiles() const
{
    if (FileName.isEmpty())
        return {};
    const QStringList parts = FileName.split(QChar(0));
    if (parts.size() == 1)
        return parts;
    QStringList files;
    for (qsizetype i = 1; i < parts.size(); ++i)
        files << QDir(parts.first()).filePath(parts[i]);
    return files;
}

} // namespace kel
