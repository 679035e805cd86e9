#include "app/frmMain.h"
#include "app/HistogramPanel.h"
#include "app/StartPicture.h"
#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "serial/AnyBytePort.h"
#include "serial/SystemClock.h"
#include "ui/ControlArray.h"
#include "ui/FormLabels.h"
#include "ui/PictureCanvas.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

// The pictures are compiled into a static library; nothing else would pull them in.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace kel {

namespace {

constexpr int kPictureWidth = 508;
constexpr int kPictureHeight = 432;
constexpr int kValueWidth = 64;

template <typename T> T* named(T* object, const char* name, std::optional<int> index = std::nullopt)
{
    object->setObjectName(QLatin1String(name));
    if (index)
        setControlIndex(object, *index);
    return object;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption,
                 std::optional<int> index = std::nullopt)
{
    return named(menu->addAction(QLatin1String(caption)), name, index);
}

QMenu* addMenu(QWidget* parent, const char* name, const char* caption)
{
    auto* menu = named(new QMenu(QLatin1String(caption), parent), name);
    if (auto* bar = qobject_cast<QMenuBar*>(parent))
        bar->addMenu(menu);
    else if (auto* owner = qobject_cast<QMenu*>(parent))
        owner->addMenu(menu);
    return menu;
}

void addSeparator(QMenu* menu, const char* name)
{
    named(menu->addSeparator(), name);
}

QLabel* valueLabel(QWidget* parent, int index)
{
    auto* label = named(new QLabel(parent), "lblValue", index);
    // A styled frame shows all four edges; a plain sunken panel's light edges vanish against
    // the window and the field looks cut off on the right.
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMargin(2);
    label->setMinimumWidth(kValueWidth);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

frmMain::frmMain(AppCore& core, QWidget* parent)
    : QMainWindow(parent), cdlFileOpen(core.prompter()), m_core(core), m_notices(core),
      m_line(
          m_notices, [] { return std::make_unique<serial::AnyBytePort>(); },
          std::make_unique<serial::SystemClock>()),
      m_trendDialog(core.prompter()), m_setDialog(core.prompter())
{
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    endProcess = [] { QCoreApplication::exit(0); };

    buildMenus();

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->addWidget(buildLeftColumn(), 0, Qt::AlignTop);

    // The picture takes the room the window gives it; the panel of figures sits beside it.
    picCnvBmp = new PictureCanvas(central);
    picCnvBmp->setPicture(startPicture({}).toImage());
    picCnvBmp->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // At least a whole picture at 1:1, so that it needs no scroll bars until it is zoomed.
    picCnvBmp->setMinimumSize(kPictureWidth, kPictureHeight);
    picHistogram = new HistogramPanel(core, central);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(picCnvBmp, 1);
    pictureRow->addWidget(picHistogram, 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addLayout(pictureRow, 1);
    QGroupBox* trend = buildTrendFrame(central);
    trend->setMinimumWidth(kPictureWidth);
    right->addWidget(trend);
    row->addLayout(right, 1);

    setCentralWidget(central);
    setAcceptDrops(true);
    connectSensorControls();
    connectPicture();
    assignShortcuts();

    m_status = std::make_unique<MainStatus>(core, *this);
    m_notices.status = m_status.get();
}

// The keys an operator expects. Ctrl+O and Ctrl+S open and save the image in its own format
// (.KEL), the shifted keys the bitmap; F5 fetches from the sensor.
void frmMain::assignShortcuts()
{
    mnuBinLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuBinSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuBmpLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    mnuBmpSave->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuContents->setShortcut(QKeySequence(Qt::Key_F1));
    // A button's own shortcut is replaced whenever its caption is set, so F5 lives on the
    // window and presses the button: nothing happens while the button is disabled.
    fetchShortcut = named(new QAction(this), "fetchShortcut");
    fetchShortcut->setShortcut(QKeySequence(Qt::Key_F5));
    addAction(fetchShortcut);
    connect(fetchShortcut, &QAction::triggered, cmdConvert, &QPushButton::click);
}

void frmMain::buildMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile = addMenu(bar, "mnuFile", "File");
    mnuBinSave = addItem(mnuFile, "mnuBinSave", "BinSave");
    mnuBinLoad = addItem(mnuFile, "mnuBinLoad", "BinLoad");
    addSeparator(mnuFile, "mnuSeparate3");
    mnuBmpSave = addItem(mnuFile, "mnuBmpSave", "BmpSave");
    mnuBmpLoad = addItem(mnuFile, "mnuBmpLoad", "BmpLoad");
    mnuPngSave = addItem(mnuFile, "mnuPngSave", "PngSave");
    mnuPngSave->setEnabled(false);
    addSeparator(mnuFile, "mnuSeparate4");
    mnuBinBmpConv = addMenu(mnuFile, "mnuBinBmpConv", "BinBmpConv");
    mnuEachConv = addItem(mnuBinBmpConv, "mnuEachConv", "EachConv");
    mnuAllConv = addItem(mnuBinBmpConv, "mnuAllConv", "AllConv");
    addSeparator(mnuFile, "mnuSeparate6");
    mnuRecent = addMenu(mnuFile, "mnuRecent", "Recent");
    addSeparator(mnuFile, "mnuSeparate1");
    mnuQuit = addItem(mnuFile, "mnuQuit", "Quit");
    mnuBinSave->setEnabled(false);
    mnuBmpSave->setEnabled(false);

    mnuSystem = addMenu(bar, "mnuSystem", "System");
    mnuSystemSave = addItem(mnuSystem, "mnuSystemSave", "SystemSave");
    mnuSystemLoad = addItem(mnuSystem, "mnuSystemLoad", "SystemLoad");
    addSeparator(mnuSystem, "mnuSeparate5");
    mnuWholeSave = addItem(mnuSystem, "mnuWholeSave", "WholeSave");
    mnuWholeLoad = addItem(mnuSystem, "mnuWholeLoad", "WholeLoad");

    mnuBank = addMenu(bar, "mnuBank", "Bank");
    mnuBankSave = addMenu(mnuBank, "mnuBankSave", "BankSave");
    for (int bank = 1; bank <= 8; ++bank) {
        const QByteArray caption = "Bank" + QByteArray::number(bank);
        mnuBankSelect[bank] = addItem(mnuBankSave, "mnuBankSelect", caption.constData(), bank);
    }
    mnuBankLoad = addItem(mnuBank, "mnuBankLoad", "BankLoad");

    mnuOption = addMenu(bar, "mnuOption", "Option");
    mnuConvert = addItem(mnuOption, "mnuConvert", "Convert");
    mnuComSet = addItem(mnuOption, "mnuComSet", "ComSet");

    buildViewMenu();

    mnuHelp = addMenu(bar, "mnuHelp", "Help");
    mnuContents = addItem(mnuHelp, "mnuContents", "Contents");
    addSeparator(mnuHelp, "mnuSeparate2");
    mnuVersion = addItem(mnuHelp, "mnuVersion", "Version");

    connect(mnuQuit, &QAction::triggered, this, &frmMain::mnuQuit_Click);
    connectDialogMenus();
    connectFileMenu();
}

// The View menu: how the picture is drawn and what is shown beside it. The zoom keys are those
// of any picture viewer.
void frmMain::buildViewMenu()
{
    mnuView = addMenu(menuBar(), "mnuView", "View");
    mnuZoomIn = addItem(mnuView, "mnuZoomIn", "ZoomIn");
    mnuZoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    mnuZoomOut = addItem(mnuView, "mnuZoomOut", "ZoomOut");
    mnuZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    mnuZoomActual = addItem(mnuView, "mnuZoomActual", "ZoomActual");
    mnuZoomActual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    mnuZoomFit = addItem(mnuView, "mnuZoomFit", "ZoomFit");
    mnuZoomFit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));
    addSeparator(mnuView, "mnuSeparate7");
    mnuHistogram = addItem(mnuView, "mnuHistogram", "Histogram");
    mnuHistogram->setCheckable(true);
    mnuHistogram->setChecked(true);
    mnuHistogram->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addSeparator(mnuView, "mnuSeparate8");
    mnuSetReference = addItem(mnuView, "mnuSetReference", "SetReference");
    mnuShowDifference = addItem(mnuView, "mnuShowDifference", "ShowDifference");
    mnuShowDifference->setCheckable(true);
    mnuShowDifference->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addSeparator(mnuView, "mnuSeparate9");
    mnuCopyPicture = addItem(mnuView, "mnuCopyPicture", "CopyPicture");
    mnuCopyPicture->setShortcut(QKeySequence::Copy);
}

QWidget* frmMain::buildLeftColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    Picture1 = named(new QLabel(column), "Picture1");
    Picture1->setPixmap(QPixmap(QStringLiteral(":/images/product_mark.png")));
    Picture1->setFixedSize(200, 75);
    layout->addWidget(Picture1);

    lblTitle = named(new QLabel(QStringLiteral("Label1"), column), "lblTitle");
    layout->addWidget(lblTitle);

    // Frame of the measured-value query, with the last two members of the label arrays.
    fraGetMesure = named(new QGroupBox(QStringLiteral("Frame3"), column), "fraGetMesure");
    auto* getGrid = new QGridLayout(fraGetMesure);
    cmdGetMesure = named(new QPushButton(QStringLiteral("Command3"), fraGetMesure), "cmdGetMesure");

    // Information labels 0 to 5 sit on the window; 6 and 7 in the query frame.
    auto* infoGrid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        QWidget* owner = i < 6 ? column : fraGetMesure;
        lblItem[i] = named(new QLabel(QStringLiteral("Label"), owner), "lblItem", i);
        lblValue[i] = valueLabel(owner, i);
    }
    for (int i = 0; i < 6; ++i) {
        infoGrid->addWidget(lblItem[i], i, 0);
        infoGrid->addWidget(lblValue[i], i, 1);
    }
    getGrid->addWidget(cmdGetMesure, 0, 0, 2, 1, Qt::AlignTop);
    getGrid->addWidget(lblItem[6], 0, 1);
    getGrid->addWidget(lblValue[6], 0, 2);
    getGrid->addWidget(lblItem[7], 1, 1);
    getGrid->addWidget(lblValue[7], 1, 2);

    FraMesure = named(new QGroupBox(QStringLiteral("Frame2"), column), "FraMesure");
    auto* measureGrid = new QGridLayout(FraMesure);
    cmdMeasure = named(new QPushButton(QStringLiteral("Command2"), FraMesure), "cmdMeasure");
    measureGrid->addWidget(cmdMeasure, 0, 0, 3, 1, Qt::AlignTop);
    for (int i = 0; i < 3; ++i) {
        optMesure[i] = named(new QRadioButton(QStringLiteral("Option"), FraMesure), "optMesure", i);
        measureGrid->addWidget(optMesure[i], i, 1);
    }
    optMesure[0]->setChecked(true);

    fraImage = named(new QGroupBox(QStringLiteral("Frame1"), column), "fraImage");
    auto* imageGrid = new QGridLayout(fraImage);
    cmdConvert = named(new QPushButton(QStringLiteral("Command1"), fraImage), "cmdConvert");
    cmdLoad = named(new QPushButton(QStringLiteral("Command4"), fraImage), "cmdLoad");
    cmdLoad->setEnabled(false);
    imageGrid->addWidget(cmdConvert, 0, 0);
    imageGrid->addWidget(cmdLoad, 0, 1);
    for (int i = 0; i < 2; ++i) {
        optSelect[i] = named(new QRadioButton(QStringLiteral("Option"), fraImage), "optSelect", i);
        imageGrid->addWidget(optSelect[i], 1, i);
    }
    optSelect[0]->setChecked(true);

    layout->addWidget(fraImage);
    layout->addLayout(infoGrid);
    layout->addWidget(FraMesure);
    layout->addWidget(fraGetMesure);
    layout->addStretch();
    return column;
}

sensor::LineOwner& frmMain::line()
{
    m_line.setLine(lineConfigOf(m_core));
    return m_line;
}

void frmMain::Form_Load()
{
    CreateWorkFolders();
    LoadSettings();
    LoadFormLabels(m_core, this);
    enableLoad(false);
    applyTrendTexts();
    picHistogram->applyTexts();
    m_startPicture = startPicture(m_core.GetMessageText(kSectionLabel, LabelNoImage));
    picCnvBmp->setPicture(m_startPicture.toImage());
    DeleteTempFiles();
    m_recent.load();
    fillRecentMenu();
    m_status->takeBaseTitle();
    m_status->showLine(lineConfigOf(m_core));
    keepSizeFromNowOn();
}

// The window takes the size its captions need once and keeps it: texts that change while it
// runs (a measured value, the trend's counts) never resize it under the operator's hand.
void frmMain::keepSizeFromNowOn()
{
    // The least room the captions need, taken once: a longer value or count later squeezes
    // the picture's share instead of widening the window. The picture grows with the window.
    QWidget* central = centralWidget();
    central->layout()->activate();
    central->setMinimumSize(central->minimumSizeHint().expandedTo(central->sizeHint()));
}

void frmMain::CreateWorkFolders()
{
    const QStringList failures = kel::CreateWorkFolders(m_core.paths());
    if (!failures.isEmpty()) // one box for all of them, with the reasons
        m_core.ShowFailure(failures.join(QLatin1Char('\n')));
}

void frmMain::LoadSettings()
{
    m_core.LoadLanguage();
    m_qtTexts.follow(m_core.lngLanguage);
    m_core.LoadComSettings();
}

void frmMain::DeleteTempFiles()
{
    kel::DeleteTempFiles(m_core.paths());
}

void frmMain::ShutDown()
{
    if (m_shuttingDown)
        return;
    m_shuttingDown = true;
    m_core.silenceBoxes(); // nobody is asked anything any more, a settings failure included
    setEnabled(false);     // no user input once the shutdown has begun
    m_core.SaveLanguage();
    // A transfer that runs is cancelled on the line first; only then may the measurement be
    // ended, and only then are the working files it writes deleted.
    line().close(StopContinuousOnExit());
    if (!m_line.idle()) {
        // Waited for here, not after returning: the end of a Windows session ends the process
        // as soon as its message has been handled. No time limit of its own: every request on
        // the line ends within its own time-out, and one cut short here would leave the
        // sensor measuring.
        QEventLoop quiet;
        connect(&m_line, &sensor::LineOwner::drained, &quiet, &QEventLoop::quit);
        quiet.exec(QEventLoop::ExcludeUserInputEvents);
    }
    DeleteTempFiles();
    endProcess();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // While an operation runs, closing asks first (No by default): a stray click must not cut
    // a restore short. Yes runs the same shutdown as a signal: the transfer is cancelled on
    // the line, then the measurement ended.
    if (!centralWidget()->isEnabled() && !m_shuttingDown &&
        m_core.AskQuestion(QuestionQuitDuringTransfer) != AnswerYes) {
        event->ignore();
        return;
    }
    ShutDown();
    event->accept();
}

} // namespace kel
