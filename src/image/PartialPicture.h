#pragma once
// A raw image that arrives in pieces, turned into its picture row by row as the rows become
// known. A row is converted only once it can no longer change: a grey row as soon as it has
// arrived, a colour row once the row below it has arrived too (the demosaic reads both
// neighbours), and the last row when it has. Converted rows are exactly the rows the whole
// conversion of the finished image gives.

#include "image/ImageState.h"

#include <QByteArrayView>

namespace kel {

class PartialPicture {
public:
    // header gives the size, the colour arrangement and the gains; its pixels are not used.
    // A size that holds no image (zero or negative) gives a picture that never has rows.
    PartialPicture(const SensorImage& header, ImageKind kind);

    // bytes of the raw file at offset (counted from 0): rows of Width bytes from the top, then
    // the trailer and filler, which are not part of the picture.
    void write(qint64 offset, QByteArrayView bytes);

    int width() const { return m_raw.Pixels.columns(); }
    int height() const { return m_raw.Pixels.rows(); }
    ImageKind kind() const { return m_kind; }
    // Rows from the top that have arrived whole.
    int knownRows() const;
    // Rows from the top whose conversion is final.
    int finalRows() const;
    int convertedRows() const { return m_convertedRows; }
    // The size of the raw file that holds the image: the rows and the trailer.
    qint64 rawFileBytes() const;

    // Converts the rows that became final since the last call; returns convertedRows().
    int convert();
    // The picture in picture order (top row first): 3 bytes a pixel (blue, green, red) for
    // colour, 1 for grey; rows from convertedRows() on are zero.
    const ByteGrid& picture() const { return m_picture; }

private:
    SensorImage m_raw;
    ImageKind m_kind;
    qint64 m_contiguous = 0; // bytes from offset 0 on that have all arrived
    int m_convertedRows = 0;
    ByteGrid m_picture;
};

} // namespace kel
