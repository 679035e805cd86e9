#include "image/FileProblem.h"
#include "core/VbConvert.h"
#include "image/FileAccess.h"

#include <QLocale>
#include <algorithm>

namespace kel {

namespace {

// Byte counts grouped in thousands ("219,458"), as both languages write them.
QString grouped(quint64 number)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(number);
}

QString classicDescription(const FileProblem& problem)
{
    switch (problem.kind) {
    case FileProblem::Kind::CutShort:
        return QLatin1String(kInputPastEndOfFile);
    case FileProblem::Kind::NoImageSize:
        return QLatin1String(kSubscriptOutOfRange);
    case FileProblem::Kind::TopDown:
        return QLatin1String(kOverflow);
    case FileProblem::Kind::NotBitmap:
        return QLatin1String(kInvalidPicture);
    case FileProblem::Kind::System:
    case FileProblem::Kind::None:
        break;
    }
    return problem.system;
}

} // namespace

FileProblem FileProblem::cutShort(qint64 length, quint64 needed)
{
    FileProblem problem;
    problem.kind = Kind::CutShort;
    problem.length = static_cast<quint64>(std::max<qint64>(length, 0));
    problem.needed = needed;
    return problem;
}

FileProblem FileProblem::noImageSize(qint64 width, qint64 height)
{
    FileProblem problem;
    problem.kind = Kind::NoImageSize;
    problem.width = width;
    problem.height = height;
    return problem;
}

FileProblem FileProblem::topDown()
{
    FileProblem problem;
    problem.kind = Kind::TopDown;
    return problem;
}

FileProblem FileProblem::notBitmap()
{
    FileProblem problem;
    problem.kind = Kind::NotBitmap;
    return problem;
}

FileProblem FileProblem::systemFailure(const QString& description)
{
    FileProblem problem;
    problem.kind = Kind::System;
    problem.system = description;
    return problem;
}

QString describeFileProblem(const AppCore& core, const QString& path, const FileProblem& problem)
{
    QString text;
    switch (problem.kind) {
    case FileProblem::Kind::CutShort:
        text = core.GetMessageText(kSectionLabel, LabelFileCutShort);
        if (!text.isEmpty())
            text = text.arg(path, grouped(problem.length), grouped(problem.needed));
        break;
    case FileProblem::Kind::NoImageSize:
        text = core.GetMessageText(kSectionLabel, LabelFileNoImageSize);
        if (!text.isEmpty())
            text = text.arg(path, QString::number(problem.width), QString::number(problem.height));
        break;
    case FileProblem::Kind::TopDown:
    case FileProblem::Kind::NotBitmap:
        text = core.GetMessageText(kSectionLabel, problem.kind == FileProblem::Kind::TopDown
                                                      ? LabelBitmapTopDown
                                                      : LabelFileNotBitmap);
        if (!text.isEmpty())
            text = text.arg(path);
        break;
    case FileProblem::Kind::System:
    case FileProblem::Kind::None:
        break;
    }
    return text.isEmpty() ? describeFailure(classicDescription(problem), path) : text;
}

} // namespace kel
