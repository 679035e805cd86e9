#pragma once
// The image subsystem's state: the raw image records, the converted picture in bitmap order
// and the bitmap header and palette that go with it. One ImageState lives for the whole run
// and is handed to every procedure of the subsystem.

#include "image/BitmapHeaderRecord.h"
#include "image/ByteGrid.h"

#include <QString>
#include <array>

namespace kel {

// The sensor's picture sizes: always 508 columns, 432 rows or a half or a quarter of that.
constexpr int kSensorWidth = 508;
constexpr int kSensorFullHeight = 432;
// Rows of the upload file, whatever the image's own height.
constexpr int kUploadFileRows = 480;

// The name written into the header of images that come from the sensor.
inline const QString kSensorModelName = QStringLiteral("KEL-CA");

// Which picture a conversion makes: the image-kind option pair of the main window.
enum class ImageKind { Colour, Grey };

// One raw image: header fields as the sensor reports them and the raw values.
struct SensorImage {
    std::array<char, 8> ModelName{}; // eight NULs until assigned; padded with spaces
    quint8 BayerPhase = 0;           // colour-filter arrangement, see BayerLayout
    quint8 GainR = 0;                // percent above unity: factor 1 + GainR / 100
    quint8 GainG = 0;
    quint8 GainB = 0;
    qint16 Width = 0; // header values; the extent of Pixels is its own and can differ
    qint16 Height = 0;
    ByteGrid Pixels;                 // (column, row), row 0 the top row of the picture
    std::array<quint8, 2> Trailer{}; // carried along unchanged, never interpreted

    bool operator==(const SensorImage&) const = default;
};

// Stores name as the eight-byte model name: one byte per character, cut at eight, padded with
// spaces.
void assignModelName(SensorImage& image, const QString& name);

// Grey palette entries (blue, green, red, reserved).
using GreyPaletteTable = std::array<std::array<quint8, 4>, 256>;

struct ImageState {
    SensorImage CurrentImage; // the image shown, converted, saved and loaded
    SensorImage UploadImage;  // the gain-applied or imported mosaic prepared for the sensor

    // The converted picture in bitmap order: bottom row first; 3 bytes per pixel (blue, green,
    // red) for colour, 1 for grey.
    ByteGrid BitmapPixels;
    BitmapHeaderRecord BitmapHeader;
    GreyPaletteTable GreyPalette{};
    qint32 BitmapWidth = 0; // size of the picture being converted or read
    qint32 BitmapHeight = 0;
};

} // namespace kel
