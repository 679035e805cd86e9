#include "sensor/TransferViewRelay.h"

namespace kel::sensor {

void TransferViewRelay::setReadText(const QString& text)
{
    relay([text](serial::TransferView& view) { view.setReadText(text); });
}

void TransferViewRelay::setProgress(qint64 value, qint64 maximum)
{
    relay([value, maximum](serial::TransferView& view) { view.setProgress(value, maximum); });
}

void TransferViewRelay::setFigures(const serial::TransferFigures& figures)
{
    relay([figures](serial::TransferView& view) { view.setFigures(figures); });
}

} // namespace kel::sensor
