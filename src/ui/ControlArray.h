#pragma once
// Members of a control array share an object name and carry their index in a property.

#include <QObject>
#include <QVariant>
#include <optional>

namespace kel {

inline constexpr const char* kControlIndexProperty = "controlIndex";

inline void setControlIndex(QObject* control, int index)
{
    control->setProperty(kControlIndexProperty, index);
}

inline std::optional<int> controlIndex(const QObject* control)
{
    const QVariant value = control->property(kControlIndexProperty);
    if (!value.isValid())
        return std::nullopt;
    return value.toInt();
}

} // namespace kel
