#pragma once
// The about box: icon, title and version.

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace kel {

class AppCore;
class LineControl;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(AppCore& core, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click() { accept(); }

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    std::array<LineControl*, 2> Line1{};
    QPushButton* cmdOK = nullptr;

private:
    AppCore& m_core;
};

} // namespace kel
