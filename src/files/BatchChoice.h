#pragma once
// What the operator chose for a batch conversion: the sensor image files to convert and,
// for the convert-all run, the folder the bitmaps go to. The choosing commands fill it, the
// batch dialog and its runs read it; it stays filled until the next choice replaces it.

#include <QString>
#include <QStringList>

namespace kel {

// The text of the box that follows message 12 when a batch run finds no bitmap to copy.
inline const QString kFileMissingText = QStringLiteral("ファイルが存在しません。");

struct BatchChoice {
    QStringList strConvFileName; // file names without folder
    QStringList strConvFilePath; // full path of each, in the same order
    bool blnDirSelected = false; // a folder picker was confirmed; the caller clears it
    QString strSaveDir;          // output folder of the convert-all run, ending in a separator
    QString strSearchDir;        // the folder whose files were last chosen all at once
};

// The name of the bitmap made from a sensor image file: its extension ".KEL", in any case,
// becomes ".bmp"; any other name gets ".bmp" appended. The window and kelctl name their
// outputs with this alone, so that no output ever takes a sensor file's name.
QString bitmapNameFor(const QString& name);

// Where the bitmap of sourcePath goes when it is written into folder under the bitmap name
// of name. A name that would land on the source file itself (a source without ".KEL" written
// into its own folder) gets ".bmp" appended, so that no source file is ever overwritten.
QString bitmapPathFor(const QString& folder, const QString& name, const QString& sourcePath);

// target, or target with ".bmp" appended when it names the source file itself.
QString avoidingSource(const QString& target, const QString& sourcePath);

// path with a trailing separator; a root folder already has one.
QString folderWithSeparator(const QString& path);

// Fills both lists from the file name of a multiple-selection open dialog: one part is a
// single file (named by its title), several parts are the folder followed by the names.
void takeChosenFiles(BatchChoice& choice, const QString& fileName, const QString& fileTitle);

} // namespace kel
