#pragma once
// Captions, font names and font sizes of a window and its controls from the label file of the
// current language. Controls are addressed by object name (and control-array index).

#include <QString>
#include <optional>

class QWidget;

namespace kel {

class AppCore;

// Applies the window's section (named like the window's object name) of the label file.
// A missing file or section changes nothing, so the design captions stay.
void LoadFormLabels(const AppCore& core, QWidget* window);

// Sets caption and font of the first control of window, in creation order, whose name
// matches (without regard to case) and, when index is given, whose index equals it. A property
// that the control cannot take is left alone; a name that matches nothing changes nothing.
// Returns whether a control matched.
bool ApplyControlLabel(QWidget* window, const QString& name, std::optional<int> index,
                       const QString& caption, const QString& fontName,
                       std::optional<int> fontSize);

} // namespace kel
