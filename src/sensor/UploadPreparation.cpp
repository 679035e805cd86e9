#include "sensor/UploadPreparation.h"
#include "core/AppCore.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/ImageState.h"
#include "image/MosaicSampling.h"

namespace kel {

namespace {

constexpr int kArrangementAndGains = 4;

} // namespace

UploadPreparation PrepareUploadFile(AppCore& core, const ImageInfoAsk& ask, ImageState& image,
                                    const QString& path)
{
    UploadPreparation prepared;
    quint8 values[kArrangementAndGains] = {};
    QString badValue;
    const ImageInfoReplies info = ask(kArrangementAndGains, [&](int item, const QString& reply) {
        // A value the sensor cannot mean would upload a wrong image: nothing is sent.
        const std::optional<int> value = imageInfoValue(item, reply, &badValue);
        if (value)
            values[item] = static_cast<quint8>(*value);
        return value.has_value();
    });
    if (!badValue.isEmpty()) {
        core.ShowFailure(badValue);
        prepared.result = UploadPrepared::BadValue;
        return prepared;
    }
    if (!info.complete) {
        prepared.result = UploadPrepared::Refused;
        prepared.outcome = info.outcome;
        return prepared;
    }
    SensorImage& upload = image.UploadImage;
    upload.BayerPhase = values[sensor::InfoArrangement];
    upload.GainR = values[sensor::InfoGainRed];
    upload.GainG = values[sensor::InfoGainGreen];
    upload.GainB = values[sensor::InfoGainBlue];

    // The sensor reads the file in its own arrangement: an imported bitmap (always laid out in
    // arrangement 3) or an image of another sensor is sampled again from its picture first.
    if (layOutMosaicIn(image, upload.BayerPhase) && fncRemoveGains(image) &&
        fncMakeTmpBinFile(core, image, path))
        prepared.result = UploadPrepared::Ready;
    return prepared;
}

} // namespace kel
