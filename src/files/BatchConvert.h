#pragma once
// One sensor image file of a batch conversion: converted into the run's own working bitmap,
// then stored under its output name, never over the file it came from.

#include "image/ImageDocument.h"

namespace kel {

struct AppPaths;

// One run of a batch conversion: an image of its own in a working folder of its own, "batch" in
// TMP, made when the run starts and removed with its files when it ends. The window's image, its
// unsaved flag and its working files stay as they were. A folder that cannot be made is told by
// the first conversion that writes into it.
class BatchRun {
public:
    explicit BatchRun(const AppPaths& paths);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    ImageDocument& picture() { return m_picture; }

private:
    ImageDocument m_picture;
};

// The bitmap of source, of kind, in the working folder of picture; "" when a step failed, after
// it was reported. A bitmap the conversion did not leave behind is reported with message 12 and
// then the fixed box, titled boxTitle. beforeReport runs before either of those boxes.
QString fncConvertBatchFile(AppCore& core, ImageDocument& picture, ImageKind kind,
                            const QString& source, const QString& boxTitle,
                            const std::function<void()>& beforeReport = {});

// Copies bitmap over target, or over target with ".bmp" appended when target is the source
// itself. False after the failure was shown.
bool fncStoreBitmap(AppCore& core, const QString& bitmap, const QString& target,
                    const QString& source);

} // namespace kel
