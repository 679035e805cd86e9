#include "ui/ElidedLabel.h"
#include "core/ShortenText.h"

#include <QPainter>
#include <QStyle>

namespace kel {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString ElidedLabel::shownText(int width) const
{
    const QFontMetrics metrics = fontMetrics();
    return shortenBetweenWords(
        text(), [&](const QString& shown) { return metrics.horizontalAdvance(shown) <= width; });
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shownText(room.width()), foregroundRole());
}

} // namespace kel
