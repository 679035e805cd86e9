#include "image/PictureView.h"

#include <algorithm>

namespace kel {

PictureView::PictureView(const quint8* topRow, qsizetype rowBytes, int width, int height,
                         ImageKind kind)
    : m_kind(kind)
{
    if (!topRow || width <= 0 || height <= 0)
        return;
    m_top = topRow;
    m_rowBytes = rowBytes;
    m_width = width;
    m_height = height;
}

PictureView PictureView::topDown(const ByteGrid& pixels, ImageKind kind)
{
    const int width = kind == ImageKind::Colour ? pixels.columns() / 3 : pixels.columns();
    return {pixels.data(), pixels.columns(), width, pixels.rows(), kind};
}

PictureView PictureView::bottomUp(const ByteGrid& pixels, ImageKind kind)
{
    if (pixels.isEmpty())
        return {};
    const int width = kind == ImageKind::Colour ? pixels.columns() / 3 : pixels.columns();
    return {pixels.row(pixels.rows() - 1), -static_cast<qsizetype>(pixels.columns()), width,
            pixels.rows(), kind};
}

int PictureView::offsetOf(Channel channel) const
{
    if (m_kind == ImageKind::Grey)
        return channel == Channel::Grey ? 0 : -1;
    switch (channel) {
    case Channel::Red:
        return 2;
    case Channel::Green:
        return 1;
    case Channel::Blue:
        return 0;
    case Channel::Grey:
        break;
    }
    return -1;
}

std::vector<Channel> PictureView::channels() const
{
    if (m_kind == ImageKind::Grey)
        return {Channel::Grey};
    return {Channel::Red, Channel::Green, Channel::Blue};
}

Picture copyOf(const PictureView& view)
{
    Picture copy;
    copy.kind = view.kind();
    if (view.isEmpty())
        return copy;
    const int rowBytes = view.width() * view.bytesPerPixel();
    copy.pixels = ByteGrid(rowBytes, view.height());
    for (int y = 0; y < view.height(); ++y)
        std::copy_n(view.row(y), rowBytes, copy.pixels.row(y));
    return copy;
}

PictureView convertedPicture(const ImageState& state)
{
    const ByteGrid& pixels = state.BitmapPixels;
    const qint64 width = state.BitmapWidth;
    if (width <= 0 || pixels.rows() != state.BitmapHeight)
        return {};
    if (pixels.columns() == 3 * width)
        return PictureView::bottomUp(pixels, ImageKind::Colour);
    if (pixels.columns() == width)
        return PictureView::bottomUp(pixels, ImageKind::Grey);
    return {};
}

} // namespace kel
