#pragma once
// One image and everything that belongs to it: the image state, where it came from, whether a
// fetched image still waits to be saved, and the working folder that holds its raw file
// "tmp.bin" and its bitmap "tmp.bmp". The main window shows one; a batch run, a tool or a test
// makes its own, so that none of them changes another's image, flag or files. Observers hear of
// every change of the origin through changed().

#include "image/ConvertProcess.h"
#include "image/ImageState.h"
#include "image/PictureView.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace kel {

class AppCore;

// Where the image came from: nothing yet, the sensor, or a file (named by originFile()).
enum class PictureOrigin { None, Sensor, File };

class ImageDocument : public QObject {
    Q_OBJECT
public:
    // workDir is the folder of the working files; the document neither makes nor removes it.
    explicit ImageDocument(QString workDir, QObject* parent = nullptr);

    ImageState state;         // CurrentImage, UploadImage and the converted picture
    bool blnNotSaved = false; // the image fetched from the sensor has not been saved yet

    const QString& workDir() const { return m_workDir; }
    QString workFile(const QString& name) const;

    PictureOrigin origin() const { return m_origin; }
    const QString& originFile() const { return m_originFile; }
    void setOrigin(PictureOrigin origin, const QString& file = {});
    // The image just fetched from the sensor is shown and not saved yet.
    void takeFetched();

    // The picture shown (the last conversion's, or the bitmap opened), valid until the state
    // changes; empty when there is none.
    PictureView picture() const { return convertedPicture(state); }
    // The raw image behind the picture, for the raw value and filter colour of a pixel: null
    // when nothing is shown or the picture is a bitmap that was opened (its mosaic was sampled
    // from the picture, not taken by the sensor).
    const SensorImage* pictureMosaic() const;

    // The File menu's steps on this image. Each reports its own failures (a caller never repeats
    // them) and leaves the origin as it was unless it succeeds. An open works in a folder of its
    // own beside the working files and replaces the image, its files and its unsaved flag only
    // once it succeeded: a file that cannot be opened leaves the image as it was.

    // True when the working file name exists; otherwise message 12 and false: there is nothing
    // to save.
    bool hasWorkFile(AppCore& core, const QString& name) const;
    // Opens a sensor image file: its image, its upload file "tmp.bin" and its bitmap of kind.
    KelConversion openKel(AppCore& core, const QString& path, ImageKind kind,
                          const KelConversionSteps& steps = {});
    // Opens a bitmap of the sensor's size. A 24-bit one becomes the image to load into the
    // sensor: its mosaic becomes CurrentImage and "tmp.bin", the file itself "tmp.bmp". An 8-bit
    // grey one is for viewing: its levels become CurrentImage (arrangement and gains 0), the file
    // "tmp.bmp", and there is no "tmp.bin" and nothing to load. Any other bitmap is refused with
    // message 16 naming it before a working file changes. The kind of picture opened, or none.
    std::optional<ImageKind> openBitmap(AppCore& core, const QString& path);
    // Write CurrentImage as a sensor image file, or copy "tmp.bmp", to path; the image then
    // counts as saved and comes from path.
    bool saveKel(AppCore& core, const QString& path);
    bool saveBitmap(AppCore& core, const QString& path);

signals:
    void changed();

private:
    void takeSaved(const QString& path);
    // Runs open on a copy of the state in the opening folder; on success its state and files
    // replace the document's. False when open failed or a file could not be moved (reported).
    bool replaceWithOpened(AppCore& core,
                           const std::function<bool(ImageState&, const QString&)>& open);

    QString m_workDir;
    PictureOrigin m_origin = PictureOrigin::None;
    QString m_originFile;
    bool m_pictureIsBitmap = false;
};

} // namespace kel
