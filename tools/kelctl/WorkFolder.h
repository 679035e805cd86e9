#pragma once
// A working folder of kelctl's own (TMP with tmp.bin, tmp_2.bin and tmp.bmp), removed at the
// end, so that scripts running side by side, or beside the program itself, never share the
// working files. Its core has the language of the command line's core.

#include "Context.h"

#include <QTemporaryDir>

namespace kelctl {

class WorkFolder {
public:
    explicit WorkFolder(Context& context);

    // False when the folder could not be made; the reason was printed.
    bool isValid() const { return m_ok; }
    kel::AppCore& core() { return m_core; }
    QString tmpDir() const { return m_core.paths().tmpDir(); }
    QString tmpFile(const QString& name) const { return tmpDir() + QLatin1Char('/') + name; }

private:
    QTemporaryDir m_dir;
    kel::AppCore m_core;
    bool m_ok = false;
};

} // namespace kelctl
