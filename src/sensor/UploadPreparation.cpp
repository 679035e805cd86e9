#include "sensor/UploadPreparation.h"
#include "core/AppCore.h"
#include "core/VbConvert.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/ImageState.h"

namespace kel {

namespace {

constexpr int kArrangementAndGains = 4;

} // namespace

UploadPreparation PrepareUploadFile(serial::SerialLink& link, ImageState& image,
                                    const QString& path)
{
    UploadPreparation prepared;
    const ImageInfoReplies info = QueryImageInfo(link, kArrangementAndGains);
    if (!info.complete) {
        prepared.result = UploadPrepared::Refused;
        prepared.outcome = info.outcome;
        return prepared;
    }
    quint8 values[kArrangementAndGains] = {};
    for (int index = 0; index < kArrangementAndGains; ++index) {
        // A value the sensor cannot mean would upload a wrong image: nothing is sent.
        QString error;
        const std::optional<int> value = toByte(info.replies[index], &error);
        if (!value) {
            link.core.ShowFailure(error);
            prepared.result = UploadPrepared::BadValue;
            return prepared;
        }
        values[index] = static_cast<quint8>(*value);
    }
    SensorImage& upload = image.UploadImage;
    upload.BayerPhase = values[0];
    upload.GainR = values[1];
    upload.GainG = values[2];
    upload.GainB = values[3];

    if (fncRemoveGains(image) && fncMakeTmpBinFile(link.core, image, path))
        prepared.result = UploadPrepared::Ready;
    return prepared;
}

} // namespace kel
