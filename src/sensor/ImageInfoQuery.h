#pragma once
// The sensor's description of the image it holds: "IMGINFO 0 n" asks for the colour
// arrangement (0), the red, green and blue gains (1 to 3) and the size code (4).

#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"
#include "serial/SerialLink.h"

#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace kel {

using sensor::kImageInfoCount;

struct ImageInfoReplies {
    QStringList replies;            // the replies in order, as received
    bool complete = false;          // every one asked for came, none empty or "ER", none refused
    serial::CommandOutcome outcome; // of the exchange that ended the run
};

// The parsed answers, in the order they are asked.
using ImageInfoValues = std::array<int, kImageInfoCount>;

// Called with each reply as it comes; false ends the run there.
using ImageInfoReplyCheck = std::function<bool(int item, const QString& reply)>;

// Sends "IMGINFO 0 0" to "IMGINFO 0 (count - 1)" and stops at the first reply that is empty or
// "ER" (SendCommand has told the operator why) or that check refuses.
ImageInfoReplies QueryImageInfo(serial::SerialLink& link, int count = kImageInfoCount,
                                const ImageInfoReplyCheck& check = {});

// QueryImageInfo run where the line is: on a link at hand, or on the line's own thread.
using ImageInfoAsk = std::function<ImageInfoReplies(int count, const ImageInfoReplyCheck& check)>;
ImageInfoAsk askOn(serial::SerialLink& link);

// The value of a reply: a byte of the image header for the arrangement and the gains, a 16-bit
// number for the size code. Nothing, with *error the run-time text, for anything else.
std::optional<int> imageInfoValue(int item, const QString& reply, QString* error);

} // namespace kel
