#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kel {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultDpi = 96.0;

double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : kDefaultDpi;
}

} // namespace

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips * logicalDpi() / kTwipsPerInch));
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

void placeInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace kel
