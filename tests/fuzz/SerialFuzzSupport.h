#pragma once
// What the serial fuzz targets share: a link whose port and clock are a played-back line and
// whose notices go nowhere, and the option byte that sets the line's behaviour.

#include "FuzzCheck.h"
#include "PlaybackLine.h"

#include "serial/SerialLink.h"

#include <memory>

namespace kel::fuzz {

// The first input byte:
//   bit 0     the variant the target picks (CRC or checksum, for example)
//   bit 1     0: the peer answers each write with one burst; 1: it streams everything
//   bit 2     the peer stays silent for 31 s first (long enough for every start request)
//   bit 3     the millisecond timer wraps 50 ms after the start
//   bits 4-5  1: stop requested, 2: the device hangs up, at (second byte x 97 ms)
//   bits 6-7  streamed pace: 1, 3, 16 or 133 bytes a millisecond
struct LineOptions {
    bool variantBit = false;
    PlaybackLine::Config config;
    qsizetype consumed = 0; // option bytes taken from the input
    bool stops = false;
    bool hangsUp = false;
};

inline LineOptions lineOptions(const uint8_t* data, size_t size)
{
    LineOptions options;
    if (size < 2)
        return options;
    const uint8_t bits = data[0];
    const qint64 when = qint64(data[1]) * 97;
    options.consumed = 2;
    options.variantBit = bits & 1;
    PlaybackLine::Config& config = options.config;
    config.release =
        (bits & 2) ? PlaybackLine::Release::Streamed : PlaybackLine::Release::Answering;
    config.firstArrivalMs = (bits & 4) ? 31000 : 1;
    config.clockStart = (bits & 8) ? quint32(0) - 50 : 0;
    switch ((bits >> 4) & 3) {
    case 1:
        config.stopAtMs = when;
        options.stops = true;
        break;
    case 2:
        config.hangUpAtMs = when;
        options.hangsUp = true;
        break;
    default:
        break;
    }
    constexpr int kPaces[] = {1, 3, 16, 133};
    config.bytesPerMs = kPaces[(bits >> 6) & 3];
    return options;
}

// A serial link on a played-back line, with the settings of a working installation.
struct FuzzLink {
    FuzzLink(const QByteArray& stream, PlaybackLine::Config config)
    {
        line = std::make_unique<PlaybackLine>(stream, config);
        link = std::make_unique<serial::SerialLink>(notices, *line, *line);
        line->setStopFlag(&link->blnStop);
        // In virtual time a longer slice changes nothing but the number of passes a wait takes.
        link->waitSliceMs = 250;
        link->line.port = 1;
        link->line.device = QStringLiteral("/dev/fuzz");
    }

    serial::SilentNotices notices;
    std::unique_ptr<PlaybackLine> line;
    std::unique_ptr<serial::SerialLink> link;
};

} // namespace kel::fuzz
