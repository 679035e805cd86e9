#include "image/Gains.h"
#include "image/BayerLayout.h"

#include <cmath>

namespace kel {

namespace {

// Maps every element of from through the table of its site colour into to (same extent).
void mapBySite(const ByteGrid& from, ByteGrid& to, quint8 phase, const ByteTable& red,
               const ByteTable& green, const ByteTable& blue)
{
    const BayerLayout layout(phase);
    for (int y = 0; y < from.rows(); ++y) {
        const bool redRow = layout.isRedRow(y);
        // Tables of the even and the odd columns of this row.
        const ByteTable& own = redRow ? red : blue;
        const bool ownOnEven = layout.isRedColumn(0) == redRow;
        const ByteTable& even = ownOnEven ? own : green;
        const ByteTable& odd = ownOnEven ? green : own;
        const quint8* in = from.row(y);
        quint8* out = to.row(y);
        int x = 0;
        for (; x + 1 < from.columns(); x += 2) {
            out[x] = even[in[x]];
            out[x + 1] = odd[in[x + 1]];
        }
        if (x < from.columns())
            out[x] = even[in[x]];
    }
}

} // namespace

float gainFactor(quint8 gain)
{
    return static_cast<float>(1.0 + gain / 100.0);
}

ByteTable applyGainTable(float k)
{
    ByteTable table{};
    for (int v = 0; v < 256; ++v) {
        const float p = static_cast<float>(v) * k;
        table[v] = p > 255.0f ? 255 : static_cast<quint8>(std::nearbyint(p));
    }
    return table;
}

ByteTable removeGainTable(float k)
{
    ByteTable table{};
    for (int v = 0; v < 256; ++v) {
        const double q = static_cast<double>(static_cast<float>(v)) / static_cast<double>(k);
        table[v] = static_cast<quint8>(std::nearbyint(q));
    }
    return table;
}

bool fncApplyGains(ImageState& state)
{
    const SensorImage& raw = state.CurrentImage;
    if (raw.Pixels.isEmpty())
        return false;
    ByteGrid& out = state.UploadImage.Pixels;
    out.recreate(raw.Pixels.columns(), raw.Pixels.rows());
    mapBySite(raw.Pixels, out, raw.BayerPhase, applyGainTable(gainFactor(raw.GainR)),
              applyGainTable(gainFactor(raw.GainG)), applyGainTable(gainFactor(raw.GainB)));
    return true;
}

bool fncRemoveGains(ImageState& state)
{
    const SensorImage& upload = state.UploadImage;
    if (upload.Pixels.isEmpty())
        return false;
    ByteGrid& out = state.CurrentImage.Pixels;
    out.recreate(upload.Pixels.columns(), upload.Pixels.rows());
    mapBySite(upload.Pixels, out, upload.BayerPhase, removeGainTable(gainFactor(upload.GainR)),
              removeGainTable(gainFactor(upload.GainG)), removeGainTable(gainFactor(upload.GainB)));
    return true;
}

} // namespace kel
