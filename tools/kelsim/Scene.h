#pragma once
// The picture the simulated camera sees: colour bars, a grey ramp, a hue ramp, and a few
// shapes and words on a dark ground, drawn in true colours at any size. Drawn by hand rather
// than with a font engine so that every machine makes the same bytes.

#include <QtGlobal>
#include <vector>

namespace kel::sim {

struct Rgb {
    quint8 r = 0;
    quint8 g = 0;
    quint8 b = 0;
    bool operator==(const Rgb&) const = default;
};

class RgbPicture {
public:
    RgbPicture(int width, int height) : m_width(width), m_height(height), m_pixels(count()) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb& at(int x, int y) { return m_pixels[index(x, y)]; }
    const Rgb& at(int x, int y) const { return m_pixels[index(x, y)]; }

private:
    std::size_t count() const
    {
        return static_cast<std::size_t>(qMax(m_width, 0)) *
               static_cast<std::size_t>(qMax(m_height, 0));
    }
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// The bands as shares of the height, for the scene and for tests that look at it.
constexpr double kBarsEnd = 0.30;     // colour bars from the top
constexpr double kGreyRampEnd = 0.42; // then a grey ramp, black on the left
constexpr double kHueRampEnd = 0.54;  // then a hue ramp; shapes and words below
inline constexpr Rgb kBarColours[8] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                       {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
inline constexpr Rgb kGround = {36, 44, 60};

RgbPicture drawScene(int width, int height);

} // namespace kel::sim
