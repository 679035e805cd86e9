#include "Scene.h"

#include <QByteArray>
#include <array>
#include <cmath>

namespace kel::sim {

namespace {

// 5 x 7 glyphs, one byte a row, the leftmost pixel in bit 4.
struct Glyph {
    char character;
    std::array<quint8, 7> rows;
};

constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
};

const Glyph* glyphOf(char c)
{
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c)
            return &glyph;
    }
    return nullptr; // drawn as a blank
}

void fill(RgbPicture& picture, int x0, int y0, int x1, int y1, Rgb colour)
{
    for (int y = qMax(y0, 0); y < qMin(y1, picture.height()); ++y) {
        for (int x = qMax(x0, 0); x < qMin(x1, picture.width()); ++x)
            picture.at(x, y) = colour;
    }
}

// Text from (x, y) with each glyph pixel a scale x scale square; one blank column between
// glyphs.
void drawText(RgbPicture& picture, int x, int y, int scale, const QByteArray& text, Rgb colour)
{
    for (const char c : text) {
        if (const Glyph* glyph = glyphOf(c)) {
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if (glyph->rows[row] & (0x10 >> column))
                        fill(picture, x + column * scale, y + row * scale, x + (column + 1) * scale,
                             y + (row + 1) * scale, colour);
                }
            }
        }
        x += 6 * scale;
    }
}

Rgb hueColour(double hue) // hue 0 to 1, full saturation and value
{
    const double h = std::fmod(hue, 1.0) * 6.0;
    const int sector = static_cast<int>(h);
    const auto up = static_cast<quint8>(std::lround((h - sector) * 255.0));
    const auto down = static_cast<quint8>(255 - up);
    switch (sector) {
    case 0:
        return {255, up, 0};
    case 1:
        return {down, 255, 0};
    case 2:
        return {0, 255, up};
    case 3:
        return {0, down, 255};
    case 4:
        return {up, 0, 255};
    default:
        return {255, 0, down};
    }
}

// Which side of the line from a to b the point p lies on.
double edge(double ax, double ay, double bx, double by, double px, double py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

void drawShapes(RgbPicture& picture, int top)
{
    const int w = picture.width();
    const double bandHeight = picture.height() - top;
    const double middle = top + bandHeight / 2;

    // A red disc.
    const double cx = w * 0.15;
    const double radius = bandHeight * 0.36;
    for (int y = top; y < picture.height(); ++y) {
        for (int x = 0; x < w; ++x) {
            if (std::hypot(x + 0.5 - cx, y + 0.5 - middle) <= radius)
                picture.at(x, y) = {230, 40, 40};
        }
    }
    // A green triangle, apex up.
    const double ax = w * 0.40, ay = top + bandHeight * 0.12;
    const double bx = w * 0.49, by = top + bandHeight * 0.88;
    const double qx = w * 0.31, qy = by;
    for (int y = top; y < picture.height(); ++y) {
        for (int x = 0; x < w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            if (edge(ax, ay, bx, by, px, py) >= 0 && edge(bx, by, qx, qy, px, py) >= 0 &&
                edge(qx, qy, ax, ay, px, py) >= 0)
                picture.at(x, y) = {40, 200, 70};
        }
    }
    // A blue square with a yellow frame.
    const int sx0 = static_cast<int>(w * 0.53), sx1 = static_cast<int>(w * 0.64);
    const int sy0 = static_cast<int>(top + bandHeight * 0.15);
    const int sy1 = static_cast<int>(top + bandHeight * 0.85);
    const int frame = qMax(2, static_cast<int>(bandHeight / 40));
    fill(picture, sx0, sy0, sx1, sy1, {240, 210, 30});
    fill(picture, sx0 + frame, sy0 + frame, sx1 - frame, sy1 - frame, {40, 80, 220});
}

} // namespace

RgbPicture drawScene(int width, int height)
{
    RgbPicture picture(width, height);
    const int barsEnd = static_cast<int>(height * kBarsEnd);
    const int greyEnd = static_cast<int>(height * kGreyRampEnd);
    const int hueEnd = static_cast<int>(height * kHueRampEnd);

    for (int x = 0; x < width; ++x) {
        const Rgb bar = kBarColours[x * 8 / qMax(width, 1)];
        const auto level = static_cast<quint8>(x * 255 / qMax(width - 1, 1));
        const Rgb hue = hueColour(static_cast<double>(x) / qMax(width, 1));
        for (int y = 0; y < height; ++y) {
            if (y < barsEnd)
                picture.at(x, y) = bar;
            else if (y < greyEnd)
                picture.at(x, y) = {level, level, level};
            else if (y < hueEnd)
                picture.at(x, y) = hue;
            else
                picture.at(x, y) = kGround;
        }
    }
    drawShapes(picture, hueEnd);

    // The words: the name and the size, as large as the band allows.
    const int bandHeight = height - hueEnd;
    const int textX = static_cast<int>(width * 0.68);
    const int scale = qMax(1, qMin(bandHeight / 20, (width - textX) / 37));
    const int textY = hueEnd + bandHeight / 2 - 8 * scale;
    drawText(picture, textX, textY, scale, "KELSIM", {255, 255, 255});
    const QByteArray size = QByteArray::number(width) + 'x' + QByteArray::number(height);
    const int small = qMax(1, scale / 2);
    drawText(picture, textX, textY + 9 * scale, small, size, {200, 200, 200});
    return picture;
}

} // namespace kel::sim
