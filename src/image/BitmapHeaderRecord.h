#pragma once
// The 54-byte header of a bitmap file (file header and information header) as 16 byte groups
// in file order, each holding a number least significant byte first.

#include <QtGlobal>
#include <array>
#include <span>

namespace kel {

constexpr int kBitmapHeaderSize = 54;

struct BitmapHeaderRecord {
    std::array<quint8, 2> bfType{};
    std::array<quint8, 4> bfSize{};
    std::array<quint8, 2> bfReserved1{};
    std::array<quint8, 2> bfReserved2{};
    std::array<quint8, 4> bfOffBits{};
    std::array<quint8, 4> biSize{};
    std::array<quint8, 4> biWidth{};
    std::array<quint8, 4> biHeight{};
    std::array<quint8, 2> biPlanes{};
    std::array<quint8, 2> biBitCount{};
    std::array<quint8, 4> biCompression{};
    std::array<quint8, 4> biSizeImage{};
    std::array<quint8, 4> biXPelsPerMeter{};
    std::array<quint8, 4> biYPelsPerMeter{};
    std::array<quint8, 4> biClrUsed{};
    std::array<quint8, 4> biClrImportant{};

    // The 54 bytes in file order.
    std::array<quint8, kBitmapHeaderSize> toBytes() const;
    static BitmapHeaderRecord fromBytes(std::span<const quint8, kBitmapHeaderSize> bytes);

    bool operator==(const BitmapHeaderRecord&) const = default;
};

// Stores value into group, least significant byte at the lowest index. Bytes that do not fit
// the group are dropped; callers check their sizes first.
void LongToBytes(std::span<quint8> group, quint32 value);

// The number in group: the sum of byte(i) * 256^i.
quint32 BytesToLong(std::span<const quint8> group);

} // namespace kel
