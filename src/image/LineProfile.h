#pragma once
// The values along a line drawn on the picture, per channel. The line is sampled as a
// Bresenham line: one pixel for every column it crosses (every row, when it is steeper than
// 45 degrees), each pixel once, from the first point to the second. Points of the line that lie
// outside the picture are left out, so a line that only partly crosses the picture gives the
// part inside.

#include "image/PictureView.h"

#include <QPoint>
#include <vector>

namespace kel {

struct ChannelProfile {
    Channel channel = Channel::Grey;
    std::vector<quint8> values; // one for each of LineProfile::points
};

struct LineProfile {
    std::vector<QPoint> points;           // the pixels sampled, in order along the line
    std::vector<ChannelProfile> channels; // red, green, blue, or grey

    bool isEmpty() const { return points.empty(); }
};

// The pixels of the line from `from` to `to` that lie inside a width x height picture. A line
// longer than 2^30 pixels along either axis gives none.
std::vector<QPoint> linePoints(QPoint from, QPoint to, int width, int height);

LineProfile lineProfile(const PictureView& picture, QPoint from, QPoint to);
// A whole row (left to right) or column (top to bottom); empty outside the picture.
LineProfile rowProfile(const PictureView& picture, int y);
LineProfile columnProfile(const PictureView& picture, int x);

} // namespace kel
