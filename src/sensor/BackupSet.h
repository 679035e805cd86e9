#pragma once
// A whole sensor in one folder: the eight banks and the system data, each stored exactly as
// transferred, and a manifest that says when and from what the set was made, whether it is
// complete, and the size and SHA-256 of every file, so a restore can refuse a set that changed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kel::sensor {

// One block of the set: bank 1 to 8, or 0 for the system data.
struct SetBlock {
    int bank = 0;
    QString fileName;
    QString saveCommand; // the sensor sends the block
    QString loadCommand; // the sensor takes it
};

constexpr int kSetBlockCount = 9;
// The banks in order, then the system data.
const std::array<SetBlock, kSetBlockCount>& setBlocks();

inline const QString kManifestName = QStringLiteral("MANIFEST.TXT");

struct ManifestFile {
    QString fileName;
    qint64 size = 0;
    QByteArray sha256; // lower-case hex
};

struct Manifest {
    bool complete = false;
    QString date;    // ISO 8601, UTC
    QString program; // name and version of what made the set
    QString device;
    QString image; // the replies of the image information query, blank-separated
    QList<ManifestFile> files;

    const ManifestFile* file(const QString& name) const;
};

QByteArray manifestText(const Manifest& manifest);
// Nothing, with *error, for a text that is no manifest or holds a line it does not understand.
std::optional<Manifest> parseManifest(const QByteArray& text, QString* error);
// The manifest of folder; nothing, with *error, when it is missing or unreadable.
std::optional<Manifest> readManifest(const QString& folder, QString* error);
// Writes the manifest beside a temporary name first, so a reader never sees half of one.
bool writeManifest(const QString& folder, const Manifest& manifest, QString* error);

// The size and SHA-256 of the file at path, listed as name; nothing, with *error, when it
// cannot be read.
std::optional<ManifestFile> describeFile(const QString& path, const QString& name, QString* error);

// Why a set cannot be restored as it stands; the caller words it in the operator's language.
struct SetProblem {
    enum Kind {
        ManifestUnusable, // missing, unreadable or not understood (detail says why)
        Incomplete,       // the manifest says the set is incomplete
        NotListed,        // a block's file is not in the manifest
        Missing,          // a block's file is not in the folder
        Unreadable,       // it cannot be read (detail says why)
        Changed,          // another size or another SHA-256 than the manifest lists
    };
    Kind kind;
    QString path; // the file concerned, native separators
    QString detail;
};

// Every reason the set in folder cannot be restored as it stands; empty when it is intact.
// *manifest receives the manifest when it could be read.
QList<SetProblem> checkSet(const QString& folder, Manifest* manifest = nullptr);

} // namespace kel::sensor
