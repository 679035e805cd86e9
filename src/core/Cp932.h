#pragma once
// The Windows Japanese code page (CP932, Shift-JIS with the NEC and IBM extensions): through
// ICU where Qt has it, through the system's own conversion on Windows, where Qt is built
// without ICU.

#include <QByteArray>
#include <QString>
#include <optional>

namespace kel::profile {

QString decodeCp932(const QByteArray& bytes);

// Nothing when the text holds a character CP932 lacks.
std::optional<QByteArray> encodeCp932Exactly(QStringView text);

} // namespace kel::profile
