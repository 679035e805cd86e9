#include "dialogs/LineControl.h"

#include <QPainter>

namespace kel {

LineControl::LineControl(QColor colour, int width, QWidget* parent)
    : QWidget(parent), m_colour(colour), m_width(width)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(0, 0, width(), m_width, m_colour);
}

} // namespace kel
