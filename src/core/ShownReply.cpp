#include "core/ShownReply.h"
#include "core/AppCore.h"
#include "core/MessageNumbers.h"

namespace kel {

namespace {

QString escaped(QChar c)
{
    switch (c.unicode()) {
    case '\\':
        return QStringLiteral("\\\\");
    case '\r':
        return QStringLiteral("\\r");
    case '\n':
        return QStringLiteral("\\n");
    case '\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    if (c.unicode() < 0x20 || c.unicode() > 0x7E)
        return QStringLiteral("\\x") + QString::number(c.unicode() & 0xFF, 16)
                                           .toUpper()
                                           .rightJustified(2, QLatin1Char('0'));
    return QString(c);
}

} // namespace

QString escapedReply(const QString& reply, const QString& cutNote)
{
    QString shown;
    for (const QChar c : reply.left(kShownReplyLength))
        shown += escaped(c);
    if (reply.size() > kShownReplyLength)
        shown += QLatin1Char(' ') +
                 QString(cutNote).replace(QLatin1String("%1"), QString::number(reply.size()));
    return shown;
}

QString shownReply(const AppCore& core, const QString& reply)
{
    QString note = core.GetMessageText(kSectionLabel, LabelReplyCut);
    if (note.isEmpty())
        note = QStringLiteral("... (%1 bytes)");
    return escapedReply(reply, note);
}

} // namespace kel
