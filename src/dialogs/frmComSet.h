#pragma once
// The communication settings dialog: port, line parameters and delimiter.

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace kel {

class AppCore;

class frmComSet : public QDialog {
    Q_OBJECT
public:
    explicit frmComSet(AppCore& core, QWidget* parent = nullptr);

    // Applies the labels and shows the settings held in memory. A setting that cannot be
    // shown is reported with message 99; the lists from there on show no selection.
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click() { reject(); }

    QComboBox* CmbCOM = nullptr;
    QComboBox* CmbReate = nullptr;
    QComboBox* CmbParity = nullptr;
    QComboBox* CmbDatLen = nullptr;
    QComboBox* CmbStpBit = nullptr;
    QComboBox* CmbDeli = nullptr;
    std::array<QLabel*, 6> lblItem{};
    // Where ports have no numbers: the device path, chosen from the system's ports or typed.
    QLabel* lblDevice = nullptr;
    QComboBox* CmbDevice = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    bool showCurrentSettings();
    void fillDeviceList();

    AppCore& m_core;
};

} // namespace kel
