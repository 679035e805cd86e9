#pragma once
// Window geometry in twips (1440 to the inch), as the dialogs were laid out, in pixels.

#include <QRect>

class QWidget;

namespace kel {

int twipsToPixels(int twips);
QRect twipsRect(int left, int top, int width, int height);
// Places widget at a rectangle given in twips, relative to its parent.
void placeInTwips(QWidget* widget, int left, int top, int width, int height);

} // namespace kel
