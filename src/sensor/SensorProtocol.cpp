#include "sensor/SensorProtocol.h"
#include "core/MessageNumbers.h"
#include "image/ImageState.h"

namespace kel::sensor {

std::optional<int> rowsOfSizeCode(int sizeCode)
{
    constexpr int kRows[] = {kSensorFullHeight, kSensorFullHeight / 2, kSensorFullHeight / 4};
    if (sizeCode < 0 || sizeCode >= int(std::size(kRows)))
        return std::nullopt;
    return kRows[sizeCode];
}

std::optional<int> resultLabelOf(const QString& code)
{
    constexpr int kLabels[] = {LabelResultError, LabelResultNg, LabelResultOk};
    const qsizetype index = kResultCodes.indexOf(code);
    if (index < 0)
        return std::nullopt;
    return kLabels[index];
}

} // namespace kel::sensor
