#pragma once
// The options dialog: one choice about the image, kept while the program runs.

#include <QDialog>
#include <array>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace kel {

class AppCore;

class frmOption : public QDialog {
    Q_OBJECT
public:
    explicit frmOption(AppCore& core, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    QGroupBox* fraImage = nullptr;
    std::array<QRadioButton*, 2> optImage{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    AppCore& m_core;
};

} // namespace kel
