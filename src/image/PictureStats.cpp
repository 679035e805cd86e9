// The histograms are counted in two halves (even and odd pixels of a row) and added at the end:
// a flat picture then does not wait on one counter being incremented again and again.

#include "image/PictureStats.h"

#include <cmath>

namespace kel {

namespace {

using Histogram = std::array<quint32, 256>;

void countGrey(const PictureView& picture, const QRect& area, Histogram& histogram)
{
    Histogram odd{};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const quint8* p = picture.row(y) + area.left();
        const quint8* end = p + area.width();
        for (; p + 1 < end; p += 2) {
            ++histogram[p[0]];
            ++odd[p[1]];
        }
        if (p < end)
            ++histogram[p[0]];
    }
    for (int v = 0; v < 256; ++v)
        histogram[v] += odd[v];
}

// blue, green and red as the pixel stores them.
void countColour(const PictureView& picture, const QRect& area, std::array<Histogram, 3>& even)
{
    std::array<Histogram, 3> odd{};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const quint8* p = picture.row(y) + 3 * area.left();
        const quint8* end = p + 3 * area.width();
        for (; p + 3 < end; p += 6) {
            ++even[0][p[0]];
            ++even[1][p[1]];
            ++even[2][p[2]];
            ++odd[0][p[3]];
            ++odd[1][p[4]];
            ++odd[2][p[5]];
        }
        if (p < end) {
            ++even[0][p[0]];
            ++even[1][p[1]];
            ++even[2][p[2]];
        }
    }
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            even[c][v] += odd[c][v];
}

} // namespace

ChannelStats channelStatsOf(Channel channel, const Histogram& histogram)
{
    ChannelStats stats;
    stats.channel = channel;
    stats.histogram = histogram;
    quint64 sum = 0;
    bool first = true;
    for (int v = 0; v < 256; ++v) {
        const quint64 count = histogram[v];
        if (count == 0)
            continue;
        if (first)
            stats.minimum = v;
        first = false;
        stats.maximum = v;
        stats.pixels += count;
        sum += count * quint64(v);
    }
    if (stats.pixels == 0)
        return stats;
    const double n = double(stats.pixels);
    stats.mean = double(sum) / n;
    // Around the mean rather than from the sum of squares: no cancellation, whatever the size.
    double spread = 0;
    for (int v = stats.minimum; v <= stats.maximum; ++v) {
        const double d = v - stats.mean;
        spread += double(histogram[v]) * d * d;
    }
    stats.standardDeviation = std::sqrt(spread / n);
    return stats;
}

PictureStats pictureStats(const PictureView& picture)
{
    return pictureStats(picture, QRect(0, 0, picture.width(), picture.height()));
}

PictureStats pictureStats(const PictureView& picture, const QRect& rectangle)
{
    PictureStats stats;
    if (picture.isEmpty() || rectangle.width() <= 0 || rectangle.height() <= 0)
        return stats;
    stats.area = rectangle.intersected(QRect(0, 0, picture.width(), picture.height()));
    if (stats.area.isEmpty()) {
        stats.area = {};
        return stats;
    }
    if (picture.kind() == ImageKind::Grey) {
        Histogram grey{};
        countGrey(picture, stats.area, grey);
        stats.channels.push_back(channelStatsOf(Channel::Grey, grey));
        return stats;
    }
    std::array<Histogram, 3> bgr{};
    countColour(picture, stats.area, bgr);
    for (const Channel channel : picture.channels())
        stats.channels.push_back(channelStatsOf(channel, bgr[picture.offsetOf(channel)]));
    return stats;
}

} // namespace kel
