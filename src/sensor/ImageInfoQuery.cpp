#include "sensor/ImageInfoQuery.h"

namespace kel {

ImageInfoReplies QueryImageInfo(serial::SerialLink& link, int count)
{
    ImageInfoReplies result;
    for (int index = 0; index < count; ++index) {
        const QString reply =
            serial::SendCommand(link, QStringLiteral("IMGINFO 0 %1").arg(index), &result.outcome);
        if (reply.isEmpty() || reply == QLatin1String("ER"))
            return result;
        result.replies << reply;
    }
    result.complete = true;
    return result;
}

} // namespace kel
