#pragma once
// Message boxes and file dialogs shown with Qt widgets.

#include "core/Prompter.h"

class QWidget;

namespace kel {

class QtPrompter : public Prompter {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
};

// The extension that the first pattern of a Qt name filter gives ("Banks (*.BNK *.bnk)":
// "BNK"); "" for "*.*" and for no pattern.
QString suffixOfNameFilter(const QString& nameFilter);

} // namespace kel
