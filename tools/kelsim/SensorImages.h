#pragma once
// The images the simulated sensor holds: at start its camera's view of the scene, as a colour
// mosaic in the configured arrangement with the configured gains divided out (so that the
// PC's conversion, which applies them again, shows the scene's true colours) and as a grey
// picture; after an upload, the uploaded mosaic and a grey picture made from it.

#include "Scene.h"
#include "SimOptions.h"
#include "image/ByteGrid.h"

#include <QByteArray>
#include <array>

namespace kel::sim {

// The two bytes that follow the pixels of every image the sensor sends. Their meaning is the
// sensor's own; the PC carries them along without looking at them.
inline constexpr std::array<quint8, 2> kImageTrailer = {0x5A, 0xA5};

// The raw mosaic a camera with this arrangement and these gains records of picture.
ByteGrid mosaicOf(const RgbPicture& picture, const ImageInfo& info);
// Rounded luminance of each pixel.
ByteGrid greyOf(const RgbPicture& picture);

class SensorImages {
public:
    explicit SensorImages(const ImageInfo& info);

    // What "IMGSAVE 0" and "IMGSAVE 1" send: W x H raw bytes, then the trailer.
    QByteArray colourFile() const { return fileOf(m_mosaic); }
    QByteArray greyFile() const { return fileOf(m_grey); }

    // Holds an upload file (rows of W bytes) as the colour image: its first H rows, missing
    // bytes zero. The grey image becomes the luminance of its conversion with the sensor's
    // arrangement and gains.
    void holdUpload(const QByteArray& upload);

    const ByteGrid& mosaic() const { return m_mosaic; }
    const ByteGrid& grey() const { return m_grey; }

private:
    static QByteArray fileOf(const ByteGrid& grid);

    ImageInfo m_info;
    ByteGrid m_mosaic;
    ByteGrid m_grey;
};

} // namespace kel::sim
