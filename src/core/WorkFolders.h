#pragma once
// The working folders beside the settings and the temporary files in TMP.

#include "core/AppPaths.h"

#include <QStringList>

namespace kel {

inline const QString kTmpBin = QStringLiteral("tmp.bin");      // raw image last received or read
inline const QString kTmpUpload = QStringLiteral("tmp_2.bin"); // image prepared for the sensor
inline const QString kTmpBmp = QStringLiteral("tmp.bmp");      // bitmap last converted

// Creates TMP, IMAGE, SYSTEM and BANK where missing; existing folders stay as they are.
// Returns one line per folder that could not be created, with the reason.
QStringList CreateWorkFolders(const AppPaths& paths);

// Deletes tmp.bin, tmp_2.bin and tmp.bmp of TMP where present; nothing else in TMP.
void DeleteTempFiles(const AppPaths& paths);

} // namespace kel
