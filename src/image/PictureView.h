#pragma once
// The converted picture as the measurements read it: width x height pixels, row 0 the top row,
// 3 bytes a pixel (blue, green, red) for colour or 1 for grey. A view borrows the bytes of
// whoever holds the picture and copies nothing:
//   - BitmapPixels of an ImageState, stored bottom row first (convertedPicture below);
//   - a picture in picture order, such as PartialPicture::picture() or a Picture made here;
//   - a QImage of format BGR888 or Grayscale8:
//       PictureView(image.constBits(), image.bytesPerLine(), image.width(), image.height(), kind)
// The bytes must outlive the view and stay unchanged while it is used.

#include "image/ByteGrid.h"
#include "image/ImageState.h"

#include <QtGlobal>
#include <vector>

namespace kel {

// What one figure is of: a colour picture has red, green and blue, a grey picture grey.
enum class Channel { Red, Green, Blue, Grey };

class PictureView {
public:
    PictureView() = default;
    // rowBytes is the distance from one row's first byte to the next row's, negative when the
    // rows lie bottom-up in memory. A size of 0 or less gives an empty view.
    PictureView(const quint8* topRow, qsizetype rowBytes, int width, int height, ImageKind kind);
    // A picture in picture order: 3 x width or width columns, one row a row.
    static PictureView topDown(const ByteGrid& pixels, ImageKind kind);
    // A picture in bitmap order (bottom row first), as the conversions leave BitmapPixels.
    static PictureView bottomUp(const ByteGrid& pixels, ImageKind kind);

    int width() const { return m_width; }
    int height() const { return m_height; }
    ImageKind kind() const { return m_kind; }
    bool isEmpty() const { return m_width <= 0 || m_height <= 0; }
    int bytesPerPixel() const { return m_kind == ImageKind::Colour ? 3 : 1; }
    // The row y (0 the top), bytesPerPixel() bytes a pixel.
    const quint8* row(int y) const { return m_top + static_cast<qsizetype>(y) * m_rowBytes; }
    // Which byte of a pixel holds the channel; -1 for a channel the picture does not have.
    int offsetOf(Channel channel) const;
    // The picture's channels in the order the figures list them: red, green, blue, or grey.
    std::vector<Channel> channels() const;

private:
    const quint8* m_top = nullptr;
    qsizetype m_rowBytes = 0;
    int m_width = 0;
    int m_height = 0;
    ImageKind m_kind = ImageKind::Grey;
};

// A picture of its own (a difference picture, say), in picture order.
struct Picture {
    ImageKind kind = ImageKind::Grey;
    ByteGrid pixels; // 3 x width or width columns, row 0 the top

    int width() const
    {
        return kind == ImageKind::Colour ? pixels.columns() / 3 : pixels.columns();
    }
    int height() const { return pixels.rows(); }
    bool isEmpty() const { return pixels.isEmpty(); }
    PictureView view() const { return PictureView::topDown(pixels, kind); }
};

// A copy of what the view shows, to keep after the bytes it borrows are gone (a reference).
Picture copyOf(const PictureView& view);

// The picture the last conversion or bitmap read left in state: BitmapPixels at BitmapWidth x
// BitmapHeight, colour or grey by its row length. Empty when BitmapPixels matches neither.
PictureView convertedPicture(const ImageState& state);

} // namespace kel
