#include "KelctlText.h"

#include "core/MessageNumbers.h"

namespace kelctl {

QString kelctlText(const kel::AppCore& core, int number, const QStringList& arguments)
{
    const QString text = core.GetMessageText(kel::kSectionKelctl, number);
    if (text.isEmpty()) {
        const QString fallback = QStringLiteral("[%1] %2").arg(kel::kSectionKelctl).arg(number);
        return arguments.isEmpty() ? fallback
                                   : fallback + QStringLiteral(": ") + arguments.join(u", ");
    }
    QString filled;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size() && text.at(i + 1).isDigit()) {
            const int index = text.at(i + 1).digitValue() - 1;
            if (index >= 0 && index < arguments.size()) {
                filled += arguments.at(index);
                ++i;
                continue;
            }
        }
        filled += c;
    }
    return filled;
}

} // namespace kelctl
