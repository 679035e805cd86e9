#pragma once
// What the fuzz targets share: the input as a read-only device, a core whose boxes go nowhere,
// and the conversions run on every image small enough to convert quickly.

#include "app/AppCore.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

#include <QBuffer>
#include <cstdlib>

namespace kel::fuzz {

// Pictures up to this many elements are converted after a successful read.
constexpr std::size_t kConvertLimit = 1 << 16;

class SilentPrompter : public Prompter {
public:
    int messageBox(const QString&, int, const QString&) override { return AnswerOk; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
};

inline AppCore& silentCore()
{
    static SilentPrompter prompter;
    static AppCore core(AppPaths::single(QStringLiteral("/nonexistent-keltool-fuzz")), prompter);
    return core;
}

// The bytes as a device; QBuffer wants a QByteArray, which is copied once without reallocation.
class InputDevice {
public:
    InputDevice(const uint8_t* data, size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
    {
        m_buffer.setBuffer(&m_bytes);
        m_buffer.open(QIODevice::ReadOnly);
    }
    QIODevice& device() { return m_buffer; }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
};

// Stops the run when an invariant does not hold, so that the fuzzer reports the input.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Gains, both conversions and both bitmap layouts on the raw image in CurrentImage.
inline void convertEverything(ImageState& state)
{
    const ByteGrid& raw = state.CurrentImage.Pixels;
    if (raw.size() > kConvertLimit)
        return;
    require(fncApplyGains(state) == !raw.isEmpty());
    fncColorConvert(state);
    require(state.BitmapPixels.columns() == 3 * raw.columns() &&
            state.BitmapPixels.rows() == raw.rows());
    state.BitmapWidth = raw.columns();
    state.BitmapHeight = raw.rows();
    require(bitmapFileBytes(state, ImageKind::Colour).isEmpty() == raw.isEmpty());
    fncMonoConvert(state);
    require(bitmapFileBytes(state, ImageKind::Grey).isEmpty() == raw.isEmpty());
}

} // namespace kel::fuzz
