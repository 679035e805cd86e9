#include "core/VbConvert.h"

#include <QLocale>
#include <cmath>

namespace kel {

std::optional<int> toWholeNumber(const QString& text, int min, int max, QString* error)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || trimmed.isEmpty() || !std::isfinite(number)) {
        if (error)
            *error = QString::fromLatin1(kTypeMismatch);
        return std::nullopt;
    }
    const double rounded = std::nearbyint(number); // default rounding mode: half to even
    if (rounded < min || rounded > max) {
        if (error)
            *error = QString::fromLatin1(kOverflow);
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

} // namespace kel
