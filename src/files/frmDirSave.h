#pragma once
// Picks the folder the convert-all run writes its bitmaps into. The bitmaps it already holds
// are listed for information only; they may be replaced by the run.

#include "files/DirPickerForm.h"

namespace kel {

class frmDirSave : public DirPickerForm {
    Q_OBJECT
public:
    frmDirSave(AppCore& core, BatchChoice& choice, QWidget* parent = nullptr);

    void Form_Load();
    void cmdSave_Click();

    QPushButton* cmdSave = nullptr;
};

} // namespace kel
