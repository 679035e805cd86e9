#include "dialogs/frmComSet.h"
#include "core/AppCore.h"
#include "core/Delimiter.h"
#include "core/MessageNumbers.h"
#include "core/VbConvert.h"
#include "dialogs/ComPortList.h"
#include "dialogs/ComSettingsText.h"
#include "serial/NetAddress.h"
#include "ui/ControlArray.h"
#include "ui/FormLabels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#ifndef Q_OS_WIN
#include <QSerialPortInfo>
#endif
#include <QVBoxLayout>
#include <climits>

namespace kel {

namespace {

const char* const kParityLetters[] = {"N", "O", "E"};

// Device paths mean nothing where ports are numbered.
#ifdef Q_OS_WIN
constexpr bool kHasDevicePaths = false;
#else
constexpr bool kHasDevicePaths = true;
#endif

QComboBox* dropDownList(QWidget* parent, const char* name, const QList<QPair<QString, int>>& items)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (const auto& [text, data] : items)
        list->addItem(text, data);
    list->setCurrentIndex(-1);
    return list;
}

QList<QPair<QString, int>> numbered(const QList<int>& values)
{
    QList<QPair<QString, int>> items;
    for (int value : values)
        items.append({QString::number(value), value});
    return items;
}

// The ports the system names carry their driver's name as a tip ("\Device\Serial0"), the
// numbers staying as they are; a port above the list's numbers extends it.
void markSystemPorts(QComboBox* list)
{
    for (const SystemComPort& port : systemComPorts()) {
        while (list->count() < port.number)
            list->addItem(QString::number(list->count() + 1), list->count() + 1);
        list->setItemData(port.number - 1, port.device, Qt::ToolTipRole);
    }
}

} // namespace

frmComSet::frmComSet(AppCore& core, QWidget* parent) : QDialog(parent), m_core(core)
{
    setObjectName(QStringLiteral("frmComSet"));

    QList<int> ports;
    for (int port = 1; port <= 16; ++port)
        ports << port;
    CmbCOM = dropDownList(this, "CmbCOM", numbered(ports));
    CmbReate = dropDownList(this, "CmbReate", numbered({9600, 19200, 38400, 57600, 115200}));
    CmbParity = dropDownList(
        this, "CmbParity",
        {{QStringLiteral("None"), 0}, {QStringLiteral("Odd"), 1}, {QStringLiteral("Even"), 2}});
    CmbDatLen = dropDownList(this, "CmbDatLen", numbered({7, 8}));
    CmbStpBit = dropDownList(this, "CmbStpBit", numbered({1, 2}));
    CmbDeli = dropDownList(
        this, "CmbDeli",
        {{QStringLiteral("CR"), 0}, {QStringLiteral("LF"), 1}, {QStringLiteral("CR+LF"), 2}});

    auto* grid = new QGridLayout;
    QComboBox* lists[] = {CmbCOM, CmbReate, CmbParity, CmbDatLen, CmbStpBit, CmbDeli};
    for (int i = 0; i < 6; ++i) {
        lblItem[i] = new QLabel(QStringLiteral("Label"), this);
        lblItem[i]->setObjectName(QStringLiteral("lblItem"));
        setControlIndex(lblItem[i], i);
        grid->addWidget(lblItem[i], i, 0);
        grid->addWidget(lists[i], i, 1);
    }

    lblDevice = new QLabel(QStringLiteral("Device"), this);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    CmbDevice = new QComboBox(this);
    CmbDevice->setObjectName(QStringLiteral("CmbDevice"));
    CmbDevice->setEditable(true);
    CmbDevice->setMinimumContentsLength(24);
    CmbDevice->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(lblDevice, 6, 0);
    grid->addWidget(CmbDevice, 6, 1);
    lblDevice->setVisible(kHasDevicePaths);
    CmbDevice->setVisible(kHasDevicePaths);
    addNetworkControls(grid, 7);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmComSet::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmComSet::cmdCancel_Click);
}

void frmComSet::addNetworkControls(QGridLayout* grid, int row)
{
    chkNetwork = new QCheckBox(QStringLiteral("Network"), this);
    chkNetwork->setObjectName(QStringLiteral("chkNetwork"));
    // Protocol names, the same in every language.
    CmbNetProtocol = dropDownList(this, "CmbNetProtocol",
                                  {{QStringLiteral("RFC 2217"), int(serial::NetProtocol::Rfc2217)},
                                   {QStringLiteral("TCP"), int(serial::NetProtocol::RawTcp)}});
    CmbNetProtocol->setCurrentIndex(0);
    lblHost = new QLabel(QStringLiteral("Host"), this);
    lblHost->setObjectName(QStringLiteral("lblHost"));
    txtHost = new QLineEdit(this);
    txtHost->setObjectName(QStringLiteral("txtHost"));
    lblNetPort = new QLabel(QStringLiteral("TCP port"), this);
    lblNetPort->setObjectName(QStringLiteral("lblNetPort"));
    txtNetPort = new QLineEdit(this);
    txtNetPort->setObjectName(QStringLiteral("txtNetPort"));
    txtNetPort->setMaxLength(5);
    grid->addWidget(chkNetwork, row, 0);
    grid->addWidget(CmbNetProtocol, row, 1);
    grid->addWidget(lblHost, row + 1, 0);
    grid->addWidget(txtHost, row + 1, 1);
    grid->addWidget(lblNetPort, row + 2, 0);
    grid->addWidget(txtNetPort, row + 2, 1);
    connect(chkNetwork, &QCheckBox::toggled, this, &frmComSet::enableNetworkControls);
    enableNetworkControls();
}

void frmComSet::Form_Load()
{
    LoadFormLabels(m_core, this);
    if (kHasDevicePaths)
        fillDeviceList();
    else
        markSystemPorts(CmbCOM);
    showNetworkChoice();
    if (!showCurrentSettings())
        m_core.ReportSettingsError();
}

void frmComSet::showNetworkChoice()
{
    const std::optional<serial::NetDeviceParts> parts = serial::splitNetDevice(m_core.strComDevice);
    chkNetwork->setChecked(parts.has_value());
    if (parts) {
        CmbNetProtocol->setCurrentIndex(CmbNetProtocol->findData(int(parts->protocol)));
        txtHost->setText(parts->host);
        txtNetPort->setText(parts->port);
        CmbDevice->setEditText(QString());
    }
    enableNetworkControls();
}

// The port number and device path mean nothing for a sensor on the network, and the other way
// round; the line parameters are sent to an RFC 2217 server and stay enabled.
void frmComSet::enableNetworkControls()
{
    const bool network = chkNetwork->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(CmbNetProtocol), static_cast<QWidget*>(txtHost),
                             static_cast<QWidget*>(txtNetPort)})
        control->setEnabled(network);
    CmbCOM->setEnabled(!network);
    CmbDevice->setEnabled(!network);
}

std::optional<QString> frmComSet::chosenDevice()
{
    if (!chkNetwork->isChecked()) {
        if (kHasDevicePaths)
            return CmbDevice->currentText().trimmed();
        // Windows keeps no device path: a network address chosen before is let go.
        return serial::isNetDevice(m_core.strComDevice) ? QString() : m_core.strComDevice;
    }
    serial::NetDeviceParts parts;
    parts.protocol = static_cast<serial::NetProtocol>(CmbNetProtocol->currentData().toInt());
    parts.host = txtHost->text();
    parts.port = txtNetPort->text();
    const QString device = serial::joinNetDevice(parts);
    if (device.isEmpty()) {
        m_core.ShowMessageOrFailure(kSectionMessage, MsgNetAddressInvalid);
        (serial::isHostText(parts.host.trimmed()) ? txtNetPort : txtHost)->setFocus();
        return std::nullopt;
    }
    return device;
}

// Stops at the first setting it cannot show, leaving the lists from there on unselected.
bool frmComSet::showCurrentSettings()
{
    if (m_core.iComPort < 1 || m_core.iComPort > CmbCOM->count())
        return false;
    CmbCOM->setCurrentIndex(m_core.iComPort - 1);

    const QStringList fields = splitComSetting(m_core.strComSetting);
    if (fields.isEmpty())
        return false;

    const std::optional<int> baud = toWholeNumber(fields[0], INT_MIN, INT_MAX);
    if (!baud)
        return false;
    const int baudIndex = CmbReate->findData(*baud);
    CmbReate->setCurrentIndex(baudIndex >= 0 ? baudIndex : 2); // anything unlisted shows 38400

    const QString parity = fields[1];
    CmbParity->setCurrentIndex(parity == QLatin1String("N")   ? 0
                               : parity == QLatin1String("E") ? 2
                                                              : 1);

    const std::optional<int> dataBits = toWholeNumber(fields[2], INT_MIN, INT_MAX);
    if (!dataBits)
        return false;
    CmbDatLen->setCurrentIndex(*dataBits == 7 ? 0 : 1);

    const std::optional<int> stopBits = toWholeNumber(fields[3], INT_MIN, INT_MAX);
    if (!stopBits)
        return false;
    CmbStpBit->setCurrentIndex(*stopBits == 1 ? 0 : 1);

    // The list holds the delimiters in the order of their codes.
    CmbDeli->setCurrentIndex(
        static_cast<int>(delimiterOfCharacters(m_core.strDelimiter).value_or(Delimiter::CrLf)));
    return true;
}

void frmComSet::fillDeviceList()
{
#ifndef Q_OS_WIN
    // Asked afresh each time the dialog opens, so an adapter plugged in a moment ago is there.
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        QString description = port.description();
        if (!port.manufacturer().isEmpty())
            description += QStringLiteral(" (%1)").arg(port.manufacturer());
        CmbDevice->addItem(port.systemLocation());
        CmbDevice->setItemData(CmbDevice->count() - 1, description.trimmed(), Qt::ToolTipRole);
    }
#endif
    CmbDevice->setEditText(m_core.strComDevice);
}

void frmComSet::cmdOK_Click()
{
    // Checked before anything is stored: a wrong address keeps the dialog open.
    const std::optional<QString> device = chosenDevice();
    if (!device)
        return;

    // A list left without a choice (its setting could not be shown) keeps the old value.
    if (CmbCOM->currentIndex() >= 0)
        m_core.iComPort = static_cast<qint16>(CmbCOM->currentIndex() + 1);

    QStringList chosen(4);
    if (CmbReate->currentIndex() >= 0)
        chosen[0] = QString::number(CmbReate->currentData().toInt());
    if (CmbParity->currentIndex() >= 0)
        chosen[1] = QLatin1String(kParityLetters[CmbParity->currentIndex()]);
    if (CmbDatLen->currentIndex() >= 0)
        chosen[2] = QString::number(CmbDatLen->currentData().toInt());
    if (CmbStpBit->currentIndex() >= 0)
        chosen[3] = QString::number(CmbStpBit->currentData().toInt());
    m_core.strComSetting = joinComSetting(m_core.strComSetting, chosen);

    if (CmbDeli->currentIndex() >= 0)
        m_core.strDelimiter = charactersOf(static_cast<Delimiter>(CmbDeli->currentIndex()));

    m_core.strComDevice = *device;
    m_core.SaveComSettings();
    accept();
}

} // namespace kel
