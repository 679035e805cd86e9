#include "core/CommonDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

// The patterns of the filter at index (0-based) of "description|pattern|..."; an index that
// names no filter stands for the first one, as the dialog then shows the first.
QStringList patternsAt(const QString& filter, int index)
{
    const QStringList pieces = filter.split(QLatin1Char('|'));
    qsizetype at = qsizetype(index) * 2 + 1;
    if (index < 0 || at >= pieces.size())
        at = 1;
    if (at >= pieces.size())
        return {};
    QStringList patterns;
    for (const QString& piece : pieces[at].split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!piece.trimmed().isEmpty())
            patterns << piece.trimmed();
    return patterns;
}

// Whether the file's name fits one of the patterns, in any case.
bool fits(const QString& path, const QStringList& patterns)
{
    const QString name = QFileInfo(path).fileName();
    for (const QString& pattern : patterns) {
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
        if (wildcard.match(name).hasMatch())
            return true;
    }
    return false;
}

// The extension a pattern such as "*.BNK" gives a name typed without one; "" for "*.*".
QString extensionOf(const QStringList& patterns)
{
    if (patterns.isEmpty() || !patterns.first().startsWith(QStringLiteral("*.")))
        return {};
    const QString extension = patterns.first().mid(1);
    return extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')) ? QString()
                                                                                        : extension;
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
    if (mode != FileDialogRequest::Mode::Folder)
        request.nameFilters = qtNameFilters(Filter);
    request.filterIndex = FilterIndex - 1;
    request.directory = InitDir;
    // The last name is proposed only when it is a file of the kind at hand: a bank backup's
    // name proposed for a system restore would send bank data as system data on one Enter.
    // Otherwise the dialog opens in the operation's own folder with no name.
    const QStringList patterns = patternsAt(Filter, FilterIndex - 1);
    if (mode != FileDialogRequest::Mode::Folder && !FileName.contains(QChar(0)) &&
        fits(FileName, patterns)) // a multiple choice is no name
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

    if (mode != FileDialogRequest::Mode::Folder)
        FilterIndex = result.filterIndex + 1;
    if (result.files.size() == 1) {
        QString file = result.files.first();
        // A name saved without an extension would never be listed by the dialogs that filter
        // on it: it gets the chosen filter's.
        if (mode == FileDialogRequest::Mode::Save && QFileInfo(file).suffix().isEmpty())
            file += extensionOf(patternsAt(Filter, result.filterIndex));
        FileName = QDir::toNativeSeparators(file);
        FileTitle = QFileInfo(file).fileName();
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
