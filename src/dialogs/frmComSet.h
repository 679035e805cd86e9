#pragma once
// The communication settings dialog: port, line parameters and delimiter.

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
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
    // A sensor behind a serial device server: its protocol, host and TCP port, stored as the
    // "Device" setting on every platform.
    QCheckBox* chkNetwork = nullptr;
    QComboBox* CmbNetProtocol = nullptr;
    QLabel* lblHost = nullptr;
    QLineEdit* txtHost = nullptr;
    QLabel* lblNetPort = nullptr;
    QLineEdit* txtNetPort = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    bool showCurrentSettings();
    void fillDeviceList();
    void addNetworkControls(QGridLayout* grid, int row);
    void showNetworkChoice();
    void enableNetworkControls();
    // The "Device" setting the dialog stands for; nothing, with message 25 shown, when the
    // network address is not valid.
    std::optional<QString> chosenDevice();

    AppCore& m_core;
};

} // namespace kel
