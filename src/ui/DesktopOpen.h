#pragma once
// Opens a document with the program the desktop associates with it, and tells when none could
// show it: on Windows the shell answers at once; on Linux the desktop's opener (xdg-open) runs
// on its own and only its exit status says that no program took the document.

#include <QUrl>
#include <functional>

class QObject;

namespace kel {

// failed runs on context's thread, at once or once the opener has ended, when the document
// was not shown; never after context is gone.
void openWithDesktop(const QUrl& document, QObject* context, const std::function<void()>& failed);

} // namespace kel
