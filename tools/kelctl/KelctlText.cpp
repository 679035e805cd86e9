#include "KelctlText.h"

#include "core/MessageNumbers.h"
#include "core/StatusWords.h"

namespace kelctl {

QString kelctlText(const kel::AppCore& core, int number, const QStringList& arguments)
{
    const QString text = core.GetMessageText(kel::kSectionKelctl, number);
    if (text.isEmpty()) {
        const QString fallback = QStringLiteral("[%1] %2").arg(kel::kSectionKelctl).arg(number);
        return arguments.isEmpty() ? fallback
                                   : fallback + QStringLiteral(": ") + arguments.join(u", ");
    }
    return kel::filledIn(text, arguments);
}

} // namespace kelctl
