// The demosaic runs in one pass without intermediate colour planes. Elements of the inner
// rectangle have all eight neighbours and take a branch-free path chosen per row; the border
// elements count the neighbours that exist.

#include "image/BayerLayout.h"
#include "image/Gains.h"
#include "image/PictureConversion.h"

#include <algorithm>

namespace kel {

namespace {

// An element's place in the mosaic: its own colour and, for green, the colour of its row.
enum class Site { Red, Blue, GreenInRedRow, GreenInBlueRow };

Site siteAt(const BayerLayout& layout, int x, int y)
{
    switch (layout.colourAt(x, y)) {
    case SiteColour::Red:
        return Site::Red;
    case SiteColour::Blue:
        return Site::Blue;
    case SiteColour::Green:
        break;
    }
    return layout.isRedRow(y) ? Site::GreenInRedRow : Site::GreenInBlueRow;
}

struct GainTables {
    ByteTable red;
    ByteTable green;
    ByteTable blue;

    void store(quint8* row, int x, unsigned r, unsigned g, unsigned b) const
    {
        quint8* pixel = row + 3 * x;
        pixel[0] = blue[b];
        pixel[1] = green[g];
        pixel[2] = red[r];
    }
};

// Stores the pixel of an element from its own value c, the mean across its row and column
// (horizontal, vertical) and the means of its orthogonal and diagonal neighbours.
template <Site S>
inline void storeSite(const GainTables& t, quint8* out, int x, unsigned c, unsigned orthogonal,
                      unsigned diagonal, unsigned horizontal, unsigned vertical)
{
    if constexpr (S == Site::Red)
        t.store(out, x, c, orthogonal, diagonal);
    else if constexpr (S == Site::Blue)
        t.store(out, x, diagonal, orthogonal, c);
    else if constexpr (S == Site::GreenInRedRow)
        t.store(out, x, horizontal, c, vertical);
    else
        t.store(out, x, vertical, c, horizontal);
}

// An element with all eight neighbours inside the image.
template <Site S>
inline void innerElement(const GainTables& t, const quint8* up, const quint8* mid,
                         const quint8* down, int x, quint8* out)
{
    if constexpr (S == Site::Red || S == Site::Blue) {
        const unsigned orthogonal = (mid[x - 1] + mid[x + 1] + up[x] + down[x]) >> 2;
        const unsigned diagonal = (up[x - 1] + up[x + 1] + down[x - 1] + down[x + 1]) >> 2;
        storeSite<S>(t, out, x, mid[x], orthogonal, diagonal, 0, 0);
    } else {
        const unsigned horizontal = (mid[x - 1] + mid[x + 1]) >> 1;
        const unsigned vertical = (up[x] + down[x]) >> 1;
        storeSite<S>(t, out, x, mid[x], 0, 0, horizontal, vertical);
    }
}

// Elements xBegin to xEnd - 1 of an inner row, alternating between the sites First and Second.
template <Site First, Site Second>
void innerSpan(const GainTables& t, const quint8* up, const quint8* mid, const quint8* down,
               int xBegin, int xEnd, quint8* out)
{
    int x = xBegin;
    for (; x + 1 < xEnd; x += 2) {
        innerElement<First>(t, up, mid, down, x, out);
        innerElement<Second>(t, up, mid, down, x + 1, out);
    }
    if (x < xEnd)
        innerElement<First>(t, up, mid, down, x, out);
}

void innerRow(const GainTables& t, const BayerLayout& layout, const ByteGrid& raw, int y,
              quint8* out)
{
    const quint8* up = raw.row(y - 1);
    const quint8* mid = raw.row(y);
    const quint8* down = raw.row(y + 1);
    const int end = raw.columns() - 1;
    switch (siteAt(layout, 1, y)) {
    case Site::Red:
        return innerSpan<Site::Red, Site::GreenInRedRow>(t, up, mid, down, 1, end, out);
    case Site::GreenInRedRow:
        return innerSpan<Site::GreenInRedRow, Site::Red>(t, up, mid, down, 1, end, out);
    case Site::Blue:
        return innerSpan<Site::Blue, Site::GreenInBlueRow>(t, up, mid, down, 1, end, out);
    case Site::GreenInBlueRow:
        return innerSpan<Site::GreenInBlueRow, Site::Blue>(t, up, mid, down, 1, end, out);
    }
}

// Sum and number of the neighbours at the given offsets that lie inside the image.
class NeighbourMean {
public:
    NeighbourMean(const ByteGrid& raw, int x, int y) : m_raw(raw), m_x(x), m_y(y) {}

    void add(int dx, int dy)
    {
        const int nx = m_x + dx;
        const int ny = m_y + dy;
        if (nx < 0 || ny < 0 || nx >= m_raw.columns() || ny >= m_raw.rows())
            return;
        m_sum += m_raw.at(nx, ny);
        ++m_count;
    }
    // Integer mean; 0 when no neighbour of that colour exists.
    unsigned value() const { return m_count ? m_sum / m_count : 0; }

private:
    const ByteGrid& m_raw;
    int m_x;
    int m_y;
    unsigned m_sum = 0;
    unsigned m_count = 0;
};

void borderElement(const GainTables& t, const BayerLayout& layout, const ByteGrid& raw, int x,
                   int y, quint8* out)
{
    NeighbourMean orthogonal(raw, x, y), diagonal(raw, x, y), horizontal(raw, x, y),
        vertical(raw, x, y);
    horizontal.add(-1, 0);
    horizontal.add(1, 0);
    vertical.add(0, -1);
    vertical.add(0, 1);
    for (int d : {-1, 1}) {
        orthogonal.add(d, 0);
        orthogonal.add(0, d);
        diagonal.add(d, -1);
        diagonal.add(d, 1);
    }

    const unsigned c = raw.at(x, y);
    const unsigned o = orthogonal.value(), d = diagonal.value(), h = horizontal.value(),
                   v = vertical.value();
    switch (siteAt(layout, x, y)) {
    case Site::Red:
        return storeSite<Site::Red>(t, out, x, c, o, d, h, v);
    case Site::Blue:
        return storeSite<Site::Blue>(t, out, x, c, o, d, h, v);
    case Site::GreenInRedRow:
        return storeSite<Site::GreenInRedRow>(t, out, x, c, o, d, h, v);
    case Site::GreenInBlueRow:
        return storeSite<Site::GreenInBlueRow>(t, out, x, c, o, d, h, v);
    }
}

} // namespace

void convertColourRows(const SensorImage& image, int firstRow, int endRow, ByteGrid& out,
                       RowOrder order)
{
    const ByteGrid& raw = image.Pixels;
    const int width = raw.columns();
    const int height = raw.rows();
    const GainTables tables{applyGainTable(gainFactor(image.GainR)),
                            applyGainTable(gainFactor(image.GainG)),
                            applyGainTable(gainFactor(image.GainB))};
    const BayerLayout layout(image.BayerPhase);
    for (int y = std::max(firstRow, 0); y < std::min(endRow, height); ++y) {
        quint8* row = out.row(order == RowOrder::BottomUp ? height - 1 - y : y);
        const bool innerRowHasNeighbours = y > 0 && y < height - 1 && width > 2;
        if (!innerRowHasNeighbours) {
            for (int x = 0; x < width; ++x)
                borderElement(tables, layout, raw, x, y, row);
            continue;
        }
        borderElement(tables, layout, raw, 0, y, row);
        innerRow(tables, layout, raw, y, row);
        borderElement(tables, layout, raw, width - 1, y, row);
    }
}

bool fncColorConvert(ImageState& state)
{
    const ByteGrid& raw = state.CurrentImage.Pixels;
    state.BitmapPixels.recreate(3 * raw.columns(), raw.rows());
    convertColourRows(state.CurrentImage, 0, raw.rows(), state.BitmapPixels, RowOrder::BottomUp);
    return true;
}

} // namespace kel
