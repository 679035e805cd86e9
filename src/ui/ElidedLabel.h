#pragma once
// A one-line label that, when its text is wider than the room it has, leaves out the middle
// between words ("C:\…\SYS.STD, 2,048 bytes, 1.2 s" keeps its start and every figure) instead
// of cutting the end. text() stays whole; the tooltip shows it.

#include <QLabel>

namespace kel {

class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // What is painted: the text, shortened between words to fit width.
    QString shownText(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kel
