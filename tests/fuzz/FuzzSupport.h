#pragma once
// What the fuzz targets share: the input as a read-only device, a core whose boxes go nowhere,
// and the conversions run on every image small enough to convert quickly.

#include "FuzzPrompter.h"

#include "core/AppCore.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

#include <QBuffer>

namespace kel::fuzz {

// Pictures up to this many elements are converted after a successful read.
constexpr std::size_t kConvertLimit = 1 << 16;

inline AppCore& silentCore()
{
    static QuietPrompter prompter;
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

// Gains, both conversions and both bitmap layouts on the raw image in CurrentImage.
inline void convertEverything(ImageState& state)
{
    const ByteGrid& raw = state.CurrentImage.Pixels;
    if (raw.size() > kConvertLimit)
        return;
    check(fncApplyGains(state) == !raw.isEmpty());
    fncColorConvert(state);
    check(state.BitmapPixels.columns() == 3 * raw.columns() &&
          state.BitmapPixels.rows() == raw.rows());
    state.BitmapWidth = raw.columns();
    state.BitmapHeight = raw.rows();
    check(bitmapFileBytes(state, ImageKind::Colour).isEmpty() == raw.isEmpty());
    fncMonoConvert(state);
    check(bitmapFileBytes(state, ImageKind::Grey).isEmpty() == raw.isEmpty());
}

} // namespace kel::fuzz
