#include "image/ImageState.h"

#include <QByteArray>
#include <algorithm>

namespace kel {

void assignModelName(SensorImage& image, const QString& name)
{
    const QByteArray bytes = name.toLatin1().left(static_cast<int>(image.ModelName.size()));
    image.ModelName.fill(' ');
    std::copy(bytes.begin(), bytes.end(), image.ModelName.begin());
}

} // namespace kel
