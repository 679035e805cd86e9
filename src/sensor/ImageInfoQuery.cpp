#include "sensor/ImageInfoQuery.h"
#include "core/VbConvert.h"

namespace kel {

ImageInfoReplies QueryImageInfo(serial::SerialLink& link, int count,
                                const ImageInfoReplyCheck& check)
{
    ImageInfoReplies result;
    for (int item = 0; item < count; ++item) {
        const QString reply =
            serial::SendCommand(link, sensor::imageInfoCommand(item), &result.outcome);
        if (reply.isEmpty() || reply == sensor::kReplyError)
            return result;
        result.replies << reply;
        if (check && !check(item, reply))
            return result;
    }
    result.complete = true;
    return result;
}

ImageInfoAsk askOn(serial::SerialLink& link)
{
    return [&link](int count, const ImageInfoReplyCheck& check) {
        return QueryImageInfo(link, count, check);
    };
}

std::optional<int> imageInfoValue(int item, const QString& reply, QString* error)
{
    QString failure;
    const std::optional<int> value =
        item == sensor::InfoSizeCode ? toInt16(reply, &failure) : toByte(reply, &failure);
    if (!value && error)
        *error = failure;
    return value;
}

} // namespace kel
