#include "image/PartialPicture.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

#include <algorithm>
#include <cstring>

namespace kel {

PartialPicture::PartialPicture(const SensorImage& header, ImageKind kind) : m_kind(kind)
{
    m_raw.BayerPhase = header.BayerPhase;
    m_raw.GainR = header.GainR;
    m_raw.GainG = header.GainG;
    m_raw.GainB = header.GainB;
    m_raw.Width = header.Width;
    m_raw.Height = header.Height;
    m_raw.Pixels.recreate(header.Width, header.Height);
    const int pictureColumns = kind == ImageKind::Colour ? 3 * width() : width();
    m_picture.recreate(pictureColumns, height());
}

void PartialPicture::write(qint64 offset, QByteArrayView bytes)
{
    const qint64 pixelBytes = static_cast<qint64>(m_raw.Pixels.size());
    if (offset < 0 || offset >= pixelBytes || bytes.isEmpty())
        return;
    const qint64 count = std::min<qint64>(bytes.size(), pixelBytes - offset);
    std::memcpy(m_raw.Pixels.data() + offset, bytes.data(), static_cast<std::size_t>(count));
    // Blocks come in order; a receive that starts over (a fall-back to checksum blocks) writes
    // the same bytes again from the start.
    if (offset <= m_contiguous)
        m_contiguous = std::max(m_contiguous, offset + count);
}

qint64 PartialPicture::rawFileBytes() const
{
    return static_cast<qint64>(m_raw.Pixels.size()) + kTrailerSize;
}

int PartialPicture::knownRows() const
{
    if (width() == 0)
        return 0;
    return static_cast<int>(std::min<qint64>(height(), m_contiguous / width()));
}

int PartialPicture::finalRows() const
{
    const int known = knownRows();
    if (m_kind == ImageKind::Grey || known == height())
        return known;
    return std::max(known - 1, 0);
}

int PartialPicture::convert()
{
    const int end = finalRows();
    if (end <= m_convertedRows)
        return m_convertedRows;
    if (m_kind == ImageKind::Colour)
        convertColourRows(m_raw, m_convertedRows, end, m_picture, RowOrder::TopDown);
    else
        convertGreyRows(m_raw, m_convertedRows, end, m_picture, RowOrder::TopDown);
    m_convertedRows = end;
    return m_convertedRows;
}

} // namespace kel
