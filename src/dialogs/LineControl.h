#pragma once
// A straight line drawn on a window, such as the two-tone separator of a dialog.

#include <QColor>
#include <QWidget>

namespace kel {

class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QColor colour, int width, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
    int m_width;
};

} // namespace kel
