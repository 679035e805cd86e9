#include "image/BitmapHeaderRecord.h"

#include <algorithm>

namespace kel {

namespace {

// Calls visit on every group in file order.
template <typename Record, typename Visit> void forEachGroup(Record& h, Visit visit)
{
    visit(h.bfType);
    visit(h.bfSize);
    visit(h.bfReserved1);
    visit(h.bfReserved2);
    visit(h.bfOffBits);
    visit(h.biSize);
    visit(h.biWidth);
    visit(h.biHeight);
    visit(h.biPlanes);
    visit(h.biBitCount);
    visit(h.biCompression);
    visit(h.biSizeImage);
    visit(h.biXPelsPerMeter);
    visit(h.biYPelsPerMeter);
    visit(h.biClrUsed);
    visit(h.biClrImportant);
}

} // namespace

std::array<quint8, kBitmapHeaderSize> BitmapHeaderRecord::toBytes() const
{
    std::array<quint8, kBitmapHeaderSize> bytes{};
    auto out = bytes.begin();
    forEachGroup(*this,
                 [&](const auto& group) { out = std::copy(group.begin(), group.end(), out); });
    return bytes;
}

BitmapHeaderRecord BitmapHeaderRecord::fromBytes(std::span<const quint8, kBitmapHeaderSize> bytes)
{
    BitmapHeaderRecord header;
    auto in = bytes.begin();
    forEachGroup(header, [&](auto& group) {
        std::copy_n(in, group.size(), group.begin());
        in += static_cast<std::ptrdiff_t>(group.size());
    });
    return header;
}

void LongToBytes(std::span<quint8> group, quint32 value)
{
    for (quint8& byte : group) {
        byte = static_cast<quint8>(value & 0xFF);
        value >>= 8;
    }
}

quint32 BytesToLong(std::span<const quint8> group)
{
    quint32 value = 0;
    for (std::size_t i = group.size(); i-- > 0;)
        value = (value << 8) | group[i];
    return value;
}

} // namespace kel
