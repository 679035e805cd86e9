#include "files/frmBinBmpConv.h"
#include "core/AppCore.h"
#include "core/CommonDialog.h"
#include "files/BatchChoice.h"
#include "ui/FormLabels.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <cmath>

namespace kel {

namespace {

// The outer size counts the window's borders and caption, which the platform draws around
// the client area: the design's allowance for them.
constexpr int kFrameWidthTwips = 120;
constexpr int kFrameHeightTwips = 405;

double pixelsPerTwip()
{
    return twipsToPixels(1440) / 1440.0;
}

int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips * pixelsPerTwip()));
}

int toTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels / pixelsPerTwip()));
}

void place(QWidget* control, const TwipsRect& r)
{
    control->setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

template <typename T> T* named(T* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

frmBinBmpConv::frmBinBmpConv(const BatchContext& context)
    : QDialog(context.mainWindow), m_context(context)
{
    setObjectName(QStringLiteral("frmBinBmpConv"));
    setSizeGripEnabled(false);
    setMinimumSize(toPixels(kBatchMinWidth - kFrameWidthTwips),
                   toPixels(kBatchMinHeight - kFrameHeightTwips));

    ConvFrame = named(new QGroupBox(QStringLiteral("Frame1"), this), "ConvFrame");
    FileBox = named(new QLabel(this), "FileBox");
    FileBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    FileBox->setLineWidth(1);
    FileBox->setTextFormat(Qt::PlainText);
    FileBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FileBox->setWordWrap(false);
    FileBox->setBackgroundRole(QPalette::Base);
    FileBox->setAutoFillBackground(true);
    TateScr = named(new QScrollBar(Qt::Vertical, this), "TateScr");
    YokoScr = named(new QScrollBar(Qt::Horizontal, this), "YokoScr");
    for (QScrollBar* bar : {TateScr, YokoScr}) {
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
    }
    cmdOK = named(new QPushButton(QStringLiteral("Command1"), this), "cmdOK");
    cmdAuto = named(new QPushButton(QStringLiteral("Command2"), this), "cmdAuto");
    cmdCancel = named(new QPushButton(QStringLiteral("Command3"), this), "cmdCancel");
    for (QPushButton* button : {cmdOK, cmdAuto, cmdCancel})
        button->setAutoDefault(false);

    const BatchDialogLayout initial;
    for (auto [control, rect] : {std::pair<QWidget*, TwipsRect>{ConvFrame, initial.ConvFrame},
                                 {FileBox, initial.FileBox},
                                 {TateScr, initial.TateScr},
                                 {YokoScr, initial.YokoScr},
                                 {cmdOK, initial.cmdOK},
                                 {cmdAuto, initial.cmdAuto},
                                 {cmdCancel, initial.cmdCancel}})
        place(control, rect);
    resize(minimumSize());

    connect(TateScr, &QScrollBar::valueChanged, this, &frmBinBmpConv::TateScr_Change);
    connect(YokoScr, &QScrollBar::valueChanged, this, &frmBinBmpConv::YokoScr_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmBinBmpConv::cmdOK_Click);
    connect(cmdAuto, &QPushButton::clicked, this, &frmBinBmpConv::cmdAuto_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBinBmpConv::cmdCancel_Click);
}

void frmBinBmpConv::Form_Load()
{
    LoadFormLabels(m_context.core, this);
    const QStringList& names = m_context.choice.strConvFileName;
    TateScr->hide();
    YokoScr->hide();

    m_layout.tate = verticalBar(m_layout.FileBox.height, names.size());
    m_layout.yoko = horizontalBar(m_layout.FileBox.width, names);
    if (m_layout.tate.visible)
        place(TateScr, {m_layout.TateScr.left, m_layout.TateScr.top, m_layout.TateScr.width,
                        m_layout.FileBox.height});
    applyBars(m_layout);

    FileBox->setText(batchListText(names, 0, 0));
    m_loaded = true;
    Form_Resize();
}

void frmBinBmpConv::applyBars(const BatchDialogLayout& layout)
{
    // A hidden bar keeps no position: names scrolled out of view would be out of reach.
    TateScr->setMaximum(layout.tate.visible ? layout.tate.maximum : 0);
    TateScr->setVisible(layout.tate.visible);
    YokoScr->setMaximum(layout.yoko.maximum);
    YokoScr->setVisible(layout.yoko.visible);
}

void frmBinBmpConv::resizeInTwips(int width, int height)
{
    resize(toPixels(width - kFrameWidthTwips), toPixels(height - kFrameHeightTwips));
}

void frmBinBmpConv::Form_Resize()
{
    if (isMinimized())
        return;
    const int width = toTwips(this->width()) + kFrameWidthTwips;
    const int height = toTwips(this->height()) + kFrameHeightTwips;
    m_layout = layoutBatchDialog(width, height, m_context.choice.strConvFileName);
    place(ConvFrame, m_layout.ConvFrame);
    place(FileBox, m_layout.FileBox);
    place(TateScr, m_layout.TateScr);
    place(YokoScr, m_layout.YokoScr);
    place(cmdOK, m_layout.cmdOK);
    place(cmdAuto, m_layout.cmdAuto);
    place(cmdCancel, m_layout.cmdCancel);
    applyBars(m_layout);
}

void frmBinBmpConv::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_loaded)
        Form_Resize();
}

void frmBinBmpConv::TateScr_Change()
{
    FileBox->setText(
        batchListText(m_context.choice.strConvFileName, TateScr->value(), YokoScr->value()));
}

void frmBinBmpConv::YokoScr_Change()
{
    TateScr_Change();
}

void frmBinBmpConv::cmdOK_Click()
{
    if (fncEachConvert())
        accept();
}

void frmBinBmpConv::cmdAuto_Click()
{
    if (fncAllConvert())
        accept();
}

void frmBinBmpConv::cmdCancel_Click()
{
    m_context.dialog.FileName.clear();
    QDialog::reject();
}

void frmBinBmpConv::reject()
{
    cmdCancel_Click();
}

} // namespace kel
