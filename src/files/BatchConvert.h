#pragma once
// One sensor image file of a batch conversion: converted into the working folder's bitmap,
// then stored under its output name, never over the file it came from.

#include "image/ConvertProcess.h"

namespace kel {

// The bitmap of source, of kind, in the working folder; "" when a step failed, after it was
// reported. A bitmap the conversion did not leave behind is reported with message 12 and then
// the fixed box, titled boxTitle. beforeReport runs before either of those boxes.
QString fncConvertBatchFile(AppCore& core, ImageState& image, ImageKind kind, const QString& source,
                            const QString& boxTitle,
                            const std::function<void()>& beforeReport = {});

// Copies bitmap over target, or over target with ".bmp" appended when target is the source
// itself. False after the failure was shown.
bool fncStoreBitmap(AppCore& core, const QString& bitmap, const QString& target,
                    const QString& source);

} // namespace kel
