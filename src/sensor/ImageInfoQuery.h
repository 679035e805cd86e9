#pragma once
// The sensor's description of the image it holds: "IMGINFO 0 n" asks for the colour
// arrangement (0), the red, green and blue gains (1 to 3) and the size code (4).

#include "serial/CommandExchange.h"
#include "serial/SerialLink.h"

#include <QStringList>

namespace kel {

constexpr int kImageInfoCount = 5;

struct ImageInfoReplies {
    QStringList replies;            // the replies in order, as received
    bool complete = false;          // every one asked for came, none empty or "ER"
    serial::CommandOutcome outcome; // of the exchange that ended the run
};

// Sends "IMGINFO 0 0" to "IMGINFO 0 (count - 1)" and stops at the first reply that is empty or
// "ER" (SendCommand has told the operator why).
ImageInfoReplies QueryImageInfo(serial::SerialLink& link, int count = kImageInfoCount);

} // namespace kel
