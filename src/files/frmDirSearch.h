#pragma once
// Picks a folder whose sensor image files are all to be converted; on confirmation the batch
// lists hold every one of them.

#include "files/DirPickerForm.h"

namespace kel {

class frmDirSearch : public DirPickerForm {
    Q_OBJECT
public:
    frmDirSearch(AppCore& core, BatchChoice& choice, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOpen_Click();

    QPushButton* cmdOpen = nullptr;

protected:
    void folderChanged() override;
};

} // namespace kel
