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

int checked(std::optional<int> value, const QString& error)
{
    if (!value)
        throw FlowFailure(error.toStdString());
    return *value;
}

bool goesOn(qint16 answer)
{
    return answer == AnswerYes || answer == AnswerOk;
}

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
    QPixmap picture;
    if (!picture.load(path, "BMP"))
        return false;
    picCnvBmp->setPixmap(picture);
    return true;
}

void frmMain::ClearPicture()
{
    picCnvBmp->clear();
    m_picture.setOrigin(PictureOrigin::None);
}

void frmMain::cmdConvert_Click()
{
    m_core.ShowMessageOrFailure(kSectionQuestion, QuestionFetch);
    if (!goesOn(m_core.iMsgAnswer))
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
            m_core.ShowMessageOrFailure(kSectionQuestion, QuestionDiscardUnsaved);
            if (!goesOn(m_core.iMsgAnswer))
                return false;
            m_picture.blnNotSaved = false;
        }
        m_fetchOutcome.end = OperationEnd::Failed; // until the transfer tells otherwise
        mnuBmpSave->setEnabled(false);
        mnuBinSave->setEnabled(false);
        cmdLoad->setEnabled(false);
        ClearPicture();
        repaint();

        const ImageInfoReplies info =
            QueryImageInfo(link(), kImageInfoCount, [this](int item, const QString& reply) {
                QString error;
                const int value = checked(toInt16(reply, &error), error);
                if (item != sensor::InfoSizeCode) {
                    lblValue[item]->setText(QString::number(value));
                } else {
                    lblValue[4]->setText(QString::number(kSensorWidth));
                    // any other code leaves the height shown before
                    if (const std::optional<int> rows = sensor::rowsOfSizeCode(value))
                        lblValue[5]->setText(QString::number(*rows));
                }
                return true;
            });
        if (!info.complete)
            return false;
        SetImgInfo();

        frmWait wait(m_core, link(), this, cdlFileOpen);
        wait.showPreviewOf(m_picture.state.CurrentImage);
        const bool received = wait.fncImgConvert(optSelect[0]->isChecked());
        m_fetchOutcome = wait.outcome();
        if (!received)
            return false;

        const QString bitmap =
            fncConvertProcess(m_core, m_picture.state,
                              optSelect[0]->isChecked() ? ImageKind::Colour : ImageKind::Grey,
                              m_core.paths().tmpDir(), kTmpBin);
        if (bitmap.isEmpty()) {
            m_core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
            return false;
        }
        if (optSelect[0]->isChecked()) {
            mnuBinSave->setEnabled(true);
            cmdLoad->setEnabled(true);
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

void frmMain::SetImgInfo()
{
    SensorImage& current = m_picture.state.CurrentImage;
    assignModelName(current, kSensorModelName);
    QString error;
    quint8* fields[] = {&current.BayerPhase, &current.GainR, &current.GainG, &current.GainB};
    for (int index = 0; index < 4; ++index)
        *fields[index] =
            static_cast<quint8>(checked(toByte(lblValue[index]->text(), &error), error));
    current.Width = static_cast<qint16>(checked(toInt16(lblValue[4]->text(), &error), error));
    current.Height = static_cast<qint16>(checked(toInt16(lblValue[5]->text(), &error), error));
}

void frmMain::cmdLoad_Click()
{
    const QString loadFile = m_core.paths().tmpDir() + QLatin1Char('/') + kTmpUpload;
    m_core.ShowMessageOrFailure(kSectionQuestion, QuestionUpload);
    if (!goesOn(m_core.iMsgAnswer))
        return;

    if (PrepareUploadFile(m_core, link(), m_picture.state, loadFile).result !=
        UploadPrepared::Ready) {
        showFailed(StatusNameUpload);
        return;
    }
    frmWait wait(m_core, link(), this, cdlFileOpen);
    const bool loaded = wait.fncImgLoad();
    showTransferResult(TransferOperation::Upload, wait.outcome());
    reportCompletion(loaded);
}

void frmMain::mnuBankSelect_Click(int index)
{
    frmWait wait(m_core, link(), this, cdlFileOpen);
    const bool saved = wait.fncBankSave(static_cast<qint16>(index));
    showTransferResult(TransferOperation::BankBackup, wait.outcome(), index);
    reportCompletion(saved);
}

void frmMain::mnuBankLoad_Click()
{
    frmWait wait(m_core, link(), this, cdlFileOpen);
    const bool loaded = wait.fucBankLoad();
    showTransferResult(TransferOperation::BankRestore, wait.outcome());
    reportCompletion(loaded);
}

void frmMain::mnuSystemSave_Click()
{
    frmWait wait(m_core, link(), this, cdlFileOpen);
    const bool saved = wait.fncSystemSave();
    showTransferResult(TransferOperation::SystemBackup, wait.outcome());
    reportCompletion(saved);
}

void frmMain::mnuSystemLoad_Click()
{
    frmWait wait(m_core, link(), this, cdlFileOpen);
    const bool loaded = wait.fncSystemLoad();
    showTransferResult(TransferOperation::SystemRestore, wait.outcome());
    reportCompletion(loaded);
}

} // namespace kel
