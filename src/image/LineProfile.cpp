// The points are computed per step along the line's major axis instead of walking it from its
// start, so that a line reaching far outside the picture costs only the steps inside it: the
// k-th step's minor coordinate is the start's plus k * minor / major rounded (halves away from
// the start), which is the point Bresenham's walk reaches.

#include "image/LineProfile.h"

#include <algorithm>
#include <cstdlib>

namespace kel {

namespace {

constexpr qint64 kLongestLine = qint64(1) << 30;

// The step k at which the line's major coordinate is `major`; it lies outside 0 to span when
// the line does not reach that coordinate.
qint64 stepOf(qint64 start, qint64 direction, qint64 major)
{
    return direction >= 0 ? major - start : start - major;
}

} // namespace

std::vector<QPoint> linePoints(QPoint from, QPoint to, int width, int height)
{
    std::vector<QPoint> points;
    if (width <= 0 || height <= 0)
        return points;
    const qint64 dx = qint64(to.x()) - from.x();
    const qint64 dy = qint64(to.y()) - from.y();
    if (std::llabs(dx) >= kLongestLine || std::llabs(dy) >= kLongestLine)
        return points;

    const bool steep = std::llabs(dy) > std::llabs(dx);
    // Along the major axis a (with extent aSize) and the minor axis b.
    const qint64 a0 = steep ? from.y() : from.x();
    const qint64 b0 = steep ? from.x() : from.y();
    const qint64 da = steep ? dy : dx;
    const qint64 db = steep ? dx : dy;
    const qint64 aSize = steep ? height : width;
    const qint64 bSize = steep ? width : height;
    const qint64 span = std::llabs(da);
    const qint64 aDirection = da >= 0 ? 1 : -1;
    const qint64 bDirection = db >= 0 ? 1 : -1;
    const qint64 minor = std::llabs(db);

    // The steps whose major coordinate lies inside the picture.
    const qint64 first =
        std::max<qint64>(0, std::min(stepOf(a0, aDirection, 0), stepOf(a0, aDirection, aSize - 1)));
    const qint64 last = std::min<qint64>(
        span, std::max(stepOf(a0, aDirection, 0), stepOf(a0, aDirection, aSize - 1)));
    if (first > last)
        return points;
    points.reserve(static_cast<std::size_t>(last - first + 1));
    for (qint64 k = first; k <= last; ++k) {
        const qint64 offset = span ? (2 * k * minor + span) / (2 * span) : 0;
        const qint64 a = a0 + aDirection * k;
        const qint64 b = b0 + bDirection * offset;
        if (b < 0 || b >= bSize)
            continue;
        points.push_back(steep ? QPoint(int(b), int(a)) : QPoint(int(a), int(b)));
    }
    return points;
}

namespace {

LineProfile profileAlong(const PictureView& picture, std::vector<QPoint> points)
{
    LineProfile profile;
    profile.points = std::move(points);
    const int bytes = picture.bytesPerPixel();
    for (const Channel channel : picture.channels()) {
        ChannelProfile values{channel, {}};
        values.values.reserve(profile.points.size());
        const int offset = picture.offsetOf(channel);
        for (const QPoint& p : profile.points)
            values.values.push_back(picture.row(p.y())[bytes * p.x() + offset]);
        profile.channels.push_back(std::move(values));
    }
    return profile;
}

} // namespace

LineProfile lineProfile(const PictureView& picture, QPoint from, QPoint to)
{
    if (picture.isEmpty())
        return {};
    return profileAlong(picture, linePoints(from, to, picture.width(), picture.height()));
}

LineProfile rowProfile(const PictureView& picture, int y)
{
    if (y < 0 || y >= picture.height())
        return {};
    return lineProfile(picture, {0, y}, {picture.width() - 1, y});
}

LineProfile columnProfile(const PictureView& picture, int x)
{
    if (x < 0 || x >= picture.width())
        return {};
    return lineProfile(picture, {x, 0}, {x, picture.height() - 1});
}

} // namespace kel
