// Main window handlers of the image panel (fetch the sensor's image and show it converted,
// load the current image into the sensor) and of the System and Bank menus.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "core/VbConvert.h"
#include "core/WorkFolders.h"
#include "image/ConvertProcess.h"
#include "image/ImageFiles.h"
#include "sensor/ImageInfoQuery.h"
#include "sensor/UploadPreparation.h"
#include "sensor/frmWait.h"
#include "serial/CommandExchange.h"

#include <QAction>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>

namespace kel {

namespace {

// A run-time failure of the fetch, shown with its description.
struct FlowFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace

void frmMain::connectSensorControls()
{
    connect(cmdConvert, &QPushButton::clicked, this, &frmMain::cmdConvert_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
    connect(cmdMeasure, &QPushButton::clicked, this, &frmMain::cmdMeasure_Click);
    connect(cmdGetMesure, &QPushButton::clicked, this, &frmMain::cmdGetMesure_Click);
    for (int bank = 1; bank <= 8; ++bank)
        connect(mnuBankSelect[bank], &QAction::triggered, this,
                [this, bank] { mnuBankSelect_Click(bank); });
    connect(mnuBankLoad, &QAction::triggered, this, &frmMain::mnuBankLoad_Click);
    connect(mnuSystemSave, &QAction::triggered, this, &frmMain::mnuSystemSave_Click);
    connect(mnuSystemLoad, &QAction::triggered, this, &frmMain::mnuSystemLoad_Click);
    connect(mnuWholeSave, &QAction::triggered, this, &frmMain::mnuWholeSave_Click);
    connect(mnuWholeLoad, &QAction::triggered, this, &frmMain::mnuWholeLoad_Click);
}

void frmMain::showTransferResult(TransferOperation operation, const OperationOutcome& outcome,
                                 int bank)
{
    m_status->showResult(transferStatus(m_core, operation, outcome, bank));
}

void frmMain::showFailed(int nameNumber, const QStringList& arguments)
{
    m_status->showResult(
        statusText(m_core, StatusFailed, {statusText(m_core, nameNumber, arguments)}));
}

void frmMain::reportCompletion(bool succeeded)
{
    if (succeeded)
        m_core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
}

bool frmMain::ShowPicture(const QString& path)
{
    QImage picture;
    if (!picture.load(path, "BMP"))
        return false;
    showPictureImage(picture);
    return true;
}

void frmMain::ClearPicture()
{
    showPictureImage({});
    m_picture.setOrigin(PictureOrigin::None);
}

void frmMain::ClearImageValues()
{
    for (int field = 0; field < kImageInfoFields; ++field)
        lblValue[field]->clear();
}

ImageInfoAsk frmMain::askImageInfo()
{
    return [this](int count, const ImageInfoReplyCheck& check) {
        return line()
            .call<ImageInfoReplies>([count, check](serial::SerialLink& link) {
                return QueryImageInfo(link, count, check);
            })
            .value_or(ImageInfoReplies{});
    };
}

void frmMain::cmdConvert_Click()
{
    if (!m_core.Agrees(QuestionFetch))
        return;
    m_fetchOutcome = {};
    if (fncImgAcquire()) {
        m_picture.takeFetched();
        showTransferResult(TransferOperation::Fetch, m_fetchOutcome);
        m_core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
    } else if (m_fetchOutcome.end == OperationEnd::Succeeded) {
        showFailed(StatusNameFetch); // received, but not converted or not shown
    } else {
        showTransferResult(TransferOperation::Fetch, m_fetchOutcome);
    }
}

bool frmMain::fncImgAcquire()
{
    try {
        if (m_picture.blnNotSaved) {
            if (!m_core.Agrees(QuestionDiscardUnsaved))
                return false;
            m_picture.blnNotSaved = false;
        }
        m_status->clearResult();
        m_fetchOutcome.end = OperationEnd::Failed; // until the transfer tells otherwise
        mnuBmpSave->setEnabled(false);
        mnuBinSave->setEnabled(false);
        enableLoad(false);
        ClearPicture();
        ClearImageValues();
        repaint();

        // The questions end at the first reply that is no value of its field: nothing is
        // fetched for an image the sensor cannot describe.
        // The check runs on the line's thread and only looks; the values are read here.
        const ImageInfoReplies info =
            askImageInfo()(kImageInfoCount, [](int item, const QString& reply) {
                return imageInfoValue(item, reply, nullptr).has_value();
            });
        ImageInfoValues values{};
        QString badValue;
        QString unusableSizeCode; // a size code that is no number is told as any unknown code
        for (int item = 0; item < info.replies.size() && badValue.isEmpty(); ++item) {
            const std::optional<int> value = imageInfoValue(item, info.replies[item], &badValue);
            if (!value && item == sensor::InfoSizeCode) {
                unusableSizeCode = info.replies[item];
                badValue.clear();
                break;
            }
            values[item] = value.value_or(0);
        }
        if (!badValue.isEmpty())
            throw FlowFailure(badValue.toStdString());
        if (!info.complete && unusableSizeCode.isNull())
            return false;
        for (int item = 0; item < sensor::InfoSizeCode; ++item)
            lblValue[item]->setText(QString::number(values[item]));
        const std::optional<int> rows = unusableSizeCode.isNull()
                                            ? sensor::rowsOfSizeCode(values[sensor::InfoSizeCode])
                                            : std::nullopt;
        lblValue[4]->setText(rows ? QString::number(kSensorWidth) : QString());
        lblValue[5]->setText(rows ? QString::number(*rows) : QString());
        if (!rows) {
            // Any height guessed here would fetch a cut or misread image.
            QString failure;
            const QString code = unusableSizeCode.isNull()
                                     ? QString::number(values[sensor::InfoSizeCode])
                                     : unusableSizeCode;
            if (!m_core.ShowMessage(kSectionMessage, MsgUnknownImageSize, &failure,
                                    m_core.GetMessageText(kSectionLabel, LabelSizeCode).arg(code)))
                m_core.ShowFailure(failure);
            return false;
        }
        SetImgInfo(values, *rows);

        const bool colour = optSelect[0]->isChecked();
        frmWait wait(m_core, line(), this, cdlFileOpen);
        wait.showPreviewOf(m_picture.state.CurrentImage);
        const bool received = wait.fncImgConvert(colour);
        m_fetchOutcome = wait.outcome();
        if (!received) {
            ClearImageValues(); // they described the image that did not arrive
            return false;
        }

        const QString bitmap =
            fncConvertProcess(m_core, m_picture.state, colour ? ImageKind::Colour : ImageKind::Grey,
                              m_picture.workDir(), kTmpBin);
        if (bitmap.isEmpty()) {
            ClearImageValues();
            m_core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
            return false;
        }
        if (colour) {
            mnuBinSave->setEnabled(true);
            enableLoad(true);
        }
        mnuBmpSave->setEnabled(true);
        if (!ShowPicture(bitmap))
            throw FlowFailure(QStringLiteral("Invalid picture (%1)").arg(bitmap).toStdString());
        repaint();
        return true;
    } catch (const std::exception& failure) {
        m_core.ShowFailure(QString::fromStdString(failure.what()));
        return false;
    }
}

void frmMain::SetImgInfo(const ImageInfoValues& values, int rows)
{
    SensorImage& current = m_picture.state.CurrentImage;
    assignModelName(current, kSensorModelName);
    current.BayerPhase = static_cast<quint8>(values[sensor::InfoArrangement]);
    current.GainR = static_cast<quint8>(values[sensor::InfoGainRed]);
    current.GainG = static_cast<quint8>(values[sensor::InfoGainGreen]);
    current.GainB = static_cast<quint8>(values[sensor::InfoGainBlue]);
    current.Width = static_cast<qint16>(kSensorWidth);
    current.Height = static_cast<qint16>(rows);
}

void frmMain::enableLoad(bool enabled)
{
    cmdLoad->setEnabled(enabled);
    // A disabled button still shows its tip.
    cmdLoad->setToolTip(enabled ? QString()
                                : m_core.GetMessageText(kSectionLabel, LabelLoadNeedsColour));
}

void frmMain::cmdLoad_Click()
{
    const QString loadFile = m_core.paths().tmpDir() + QLatin1Char('/') + kTmpUpload;
    if (!m_core.Agrees(QuestionUpload))
        return;
    m_status->clearResult();

    if (PrepareUploadFile(m_core, askImageInfo(), m_picture.state, loadFile).result !=
        UploadPrepared::Ready) {
        showFailed(StatusNameUpload);
        return;
    }
    frmWait wait(m_core, line(), this, cdlFileOpen);
    const bool loaded = wait.fncImgLoad();
    showTransferResult(TransferOperation::Upload, wait.outcome());
    reportCompletion(loaded);
}

void frmMain::mnuBankSelect_Click(int index)
{
    frmWait wait(m_core, line(), this, cdlFileOpen);
    const bool saved = wait.fncBankSave(static_cast<qint16>(index));
    showTransferResult(TransferOperation::BankBackup, wait.outcome(), index);
    reportCompletion(saved);
}

void frmMain::mnuBankLoad_Click()
{
    frmWait wait(m_core, line(), this, cdlFileOpen);
    const bool loaded = wait.fucBankLoad();
    showTransferResult(TransferOperation::BankRestore, wait.outcome());
    reportCompletion(loaded);
}

void frmMain::mnuSystemSave_Click()
{
    frmWait wait(m_core, line(), this, cdlFileOpen);
    const bool saved = wait.fncSystemSave();
    showTransferResult(TransferOperation::SystemBackup, wait.outcome());
    reportCompletion(saved);
}

void frmMain::mnuSystemLoad_Click()
{
    frmWait wait(m_core, line(), this, cdlFileOpen);
    const bool loaded = wait.fncSystemLoad();
    showTransferResult(TransferOperation::SystemRestore, wait.outcome());
    reportCompletion(loaded);
}

} // namespace kel
