#pragma once
// The figures an operator sets lighting, focus and gains by: for each channel of the picture,
// or of a rectangle of it, the histogram, mean, standard deviation, extremes, and how much of
// it sits at 0 and at 255. One pass over the pixels fills every channel's histogram; the other
// figures come from the histograms.

#include "image/PictureView.h"

#include <QRect>
#include <array>
#include <vector>

namespace kel {

// More than this share of a channel at 255 means the gain or the light is too high.
constexpr double kSaturatedShare = 0.005;

struct ChannelStats {
    Channel channel = Channel::Grey;
    std::array<quint32, 256> histogram{}; // pixels of each value
    quint64 pixels = 0;                   // the histogram's sum
    double mean = 0;
    double standardDeviation = 0; // of all the pixels counted (not a sample's estimate)
    int minimum = 0;              // 0 and 0 when no pixel was counted
    int maximum = 0;

    quint64 atZero() const { return histogram[0]; }
    quint64 atFull() const { return histogram[255]; }
    // Shares from 0 to 1; 0 when no pixel was counted.
    double shareAtZero() const { return pixels ? double(atZero()) / double(pixels) : 0.0; }
    double shareAtFull() const { return pixels ? double(atFull()) / double(pixels) : 0.0; }
    bool saturated() const { return shareAtFull() > kSaturatedShare; }
};

struct PictureStats {
    QRect area;                         // what was counted: the rectangle asked for, clipped
    std::vector<ChannelStats> channels; // red, green, blue, or grey; empty when area is empty

    bool isEmpty() const { return channels.empty(); }
};

// The whole picture.
PictureStats pictureStats(const PictureView& picture);
// The part of rectangle that lies inside the picture. A rectangle of zero or negative size, or
// one wholly outside, gives empty figures.
PictureStats pictureStats(const PictureView& picture, const QRect& rectangle);

// The figures of one channel from its histogram alone.
ChannelStats channelStatsOf(Channel channel, const std::array<quint32, 256>& histogram);

} // namespace kel
