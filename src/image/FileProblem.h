#pragma once
// Why a reader refused an image file, kept as what it found so that the caller can tell the
// operator in the window's language which file it is and what is wrong with it.

#include "core/AppCore.h"

#include <QString>

namespace kel {

struct FileProblem {
    enum class Kind {
        None,
        System,      // the system's description (a read that failed)
        CutShort,    // the file ends before the bytes its header asks for
        NoImageSize, // a width or height of 0 or less
        TopDown,     // a bitmap whose rows are stored from the top
        NotBitmap,   // a file that does not start as a bitmap does, whatever else it holds
    };
    Kind kind = Kind::None;
    quint64 length = 0; // CutShort: the bytes the file has
    quint64 needed = 0; // CutShort: the bytes it would need
    qint64 width = 0;   // NoImageSize
    qint64 height = 0;
    QString system; // System

    static FileProblem cutShort(qint64 length, quint64 needed);
    static FileProblem noImageSize(qint64 width, qint64 height);
    static FileProblem topDown();
    static FileProblem notBitmap();
    static FileProblem systemFailure(const QString& description);
};

// The operator's text for the file at path: the file's name on the first line, then what is
// wrong, from section "Label" of the message file. Message files without that text give the
// classic description after the file ("Input past end of file (path)").
QString describeFileProblem(const AppCore& core, const QString& path, const FileProblem& problem);

} // namespace kel
