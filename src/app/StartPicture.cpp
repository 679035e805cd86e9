#include "app/StartPicture.h"

#include <QPainter>

namespace kel {

namespace {

constexpr int kNoteCentreY = 259; // where make_images.py left the note's line
constexpr int kNoteHeight = 17;
constexpr int kNotePixelSize = 13;
const QColor kNoteColour(140, 147, 156);

} // namespace

QPixmap startPicture(const QString& note)
{
    QPixmap picture(QStringLiteral(":/images/start_picture.bmp"));
    if (picture.isNull() || note.isEmpty())
        return picture;
    QPainter painter(&picture);
    QFont font = painter.font();
    font.setPixelSize(kNotePixelSize);
    painter.setFont(font);
    painter.setPen(kNoteColour);
    painter.drawText(QRect(0, kNoteCentreY - kNoteHeight / 2, picture.width(), kNoteHeight),
                     Qt::AlignCenter, note);
    return picture;
}

} // namespace kel
