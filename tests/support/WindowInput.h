#pragma once
// Whether the main window takes input: an operation disables its controls and its menus, not
// the window itself (the progress window it owns must keep working), so the window's own
// enabled state says nothing.

#include <QMainWindow>
#include <QMenuBar>

namespace kel::test {

inline bool takesInput(const QMainWindow& window)
{
    return window.centralWidget()->isEnabled() && window.menuBar()->isEnabled();
}

} // namespace kel::test
