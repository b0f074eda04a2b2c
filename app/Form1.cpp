#include "Form1.h"

#include "AutostartBox.h"
#include "BoardFontEditor.h"
#include "ButtonGlyphs.h"
#include "ChainLine.h"
#include "ChainTab.h"
#include "ClockLine.h"
#include "CommandGlyphs.h"
#include "FontButtons.h"
#include "Frame1corvane.h"
#include "ProportionsTab.h"
#include "ProgramIdentity.h"
#include "RatesTab.h"
#include "RunTextController.h"
#include "JournalTab.h"
#include "RunTextTab.h"
#include "TitleLine.h"
#include "TitleTab.h"
#include "TvSwitch.h"
#include "WebBoardLine.h"
#include "WebBoardTab.h"
#include "WindowPlacement.h"
#include "board/BoardFields.h"
#include "chain/ChainController.h"
#include "board/BoardFonts.h"
#include "board/BoardGeometry.h"
#include "board/FontButtonPlaces.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "board/MonitorList.h"
#include "board/TargetMonitor.h"
#include "board/TitleImage.h"
#include "content/BoardContent.h"
#include "content/ListFile.h"
#include "content/Playlist.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "controls/LbSpeedButton.h"
#include "controls/RunLabel.h"
#include "desktop/FormInfo.h"
#include "desktop/HelpViewer.h"
#include "desktop/HistoryComboBox.h"
#include "desktop/ScreenAwake.h"
#include "desktop/TrayIcon.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/JournalRecorder.h"
#include "platform/RateJournal.h"
#include "platform/SettingsSaver.h"
#include "platform/SettingsStore.h"
#include "platform/StoredSettings.h"
#include "web/WebBoard.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const QString kCaption = QStringLiteral("Corvane 1.0");

QFont narrowFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The colour of an enabled widget's text; a disabled one keeps the system's grey, so that it
// looks disabled.
void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            pal.setColor(group, role, color);
    }
    widget->setPalette(pal);
}

// The system's own look for the controls of the right-hand panel and the status bar, set
// role by role so that the black, yellow-lettered window around them does not leak in.
void useSystemLook(QWidget *widget)
{
    const QPalette system = QGuiApplication::palette();
    QPalette own;
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            own.setColor(g, r, system.color(g, r));
        }
    }
    widget->setPalette(own);
    widget->setAutoFillBackground(true);
}

QList<QRect> monitorBounds()
{
    return MonitorList::instance().monitors();
}

} // namespace

QString TForm1::programFolder()
{
    return ProgramIdentity::folder();
}

QString TForm1::programTitle()
{
    return ProgramIdentity::title();
}

TForm1::TForm1(QWidget *parent)
    : TDockPanel(parent)
    , m_content(new BoardContent(this))
{
    buildWindow();
    FormCreate();
    saveAsYouGo();
}

TForm1::~TForm1()
{
    FormDestroy();
}

void TForm1::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setBackground(Qt::black);
    setFont(narrowFont(11));
    setTextColor(this, Qt::yellow);
    setMinimumSize(400, 490);
    setFixedSize(582, kClientHeight);
    move(324, 106);

    buildStatusBar();

    FrameCorvane1 = new TFrameCorvane(this);
    m_fonts = std::make_unique<BoardFontEditor>(FrameCorvane1);
    // The preview is a picture of the board: clicks on it do nothing. (Disabling it would
    // also grey its labels.)
    FrameCorvane1->setAttribute(Qt::WA_TransparentForMouseEvents);
    FrameCorvane1->setFocusPolicy(Qt::NoFocus);
    dock(FrameCorvane1, DockSide::Left);
    TDockPanel::setWidth(FrameCorvane1, 270);

    buildRightPanel();
    buildCommands();
    buildTray();
    m_screenAwake = new ScreenAwake(this);
    m_dialogs = &Dialogs::system();
    FontButtons = new TFontButtons(this);
    connect(FontButtons, &TFontButtons::clicked, this, &TForm1::bFontClick);
    connect(FontButtons, &TFontButtons::mousePressed, this, &TForm1::bFont1MouseDown);
    watchDisplays();

    TimerClock = new QTimer(this);
    TimerClock->setObjectName(QStringLiteral("TimerClock"));
    TimerClock->setInterval(15000);
    connect(TimerClock, &QTimer::timeout, this, &TForm1::TimerClockTimer);
    TimerClock->start();
}

void TForm1::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    useSystemLook(StatusBar1);
    const auto addPanel = [this](const QString &text, int width) {
        auto *panel = new QLabel(text, StatusBar1);
        panel->setAlignment(Qt::AlignCenter);
        panel->setFixedWidth(width);
        StatusBar1->addWidget(panel);
    };
    addPanel(tr("Marrowgate exchange-office boards"), 269);
    addPanel(QStringLiteral("www.marrowgate.ru"), 150);
    StatusBar1->resize(582, kStatusBarHeight);
    dock(StatusBar1, DockSide::Bottom);
}

void TForm1::buildRightPanel()
{
    PanelR = new QFrame(this);
    PanelR->setObjectName(QStringLiteral("PanelR"));
    PanelR->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelR->setFont(narrowFont(16));
    useSystemLook(PanelR);
    dock(PanelR, DockSide::Fill);

    PageControl1 = new QTabWidget(PanelR);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 40, 305, 401);
    const auto addTab = [this](const char *name, const QString &caption) {
        auto *tab = new QWidget;
        tab->setObjectName(QLatin1String(name));
        PageControl1->addTab(tab, caption);
        return tab;
    };
    TabKurs = new TRatesTab;
    TabKurs->setObjectName(QStringLiteral("TabKurs"));
    PageControl1->addTab(TabKurs, QStringLiteral("Курс"));
    TabPolya = new TProportionsTab;
    TabPolya->setObjectName(QStringLiteral("TabPolya"));
    PageControl1->addTab(TabPolya, QStringLiteral("Поля"));
    TabNastroyki = addTab("TabNastroyki", QStringLiteral("Настройки"));
    TabBegStr = addTab("TabBegStr", QStringLiteral("Бег.Стр"));
    TabSet = addTab("TabSet", QStringLiteral("Сеть"));
    TabJournal = addTab("TabJournal", QStringLiteral("Журнал"));
    PageControl1->setCurrentIndex(0);
    buildRatesTab();
    buildFieldsTab();
    buildSettingsTab();
    buildRunTextTab();
    buildChainTab();
    buildJournalTab();

    btn_TV_On = new QPushButton(QStringLiteral("BKЛЮЧИTb"), PanelR);
    btn_TV_On->setObjectName(QStringLiteral("btn_TV_On"));
    btn_TV_On->setGeometry(157, 445, 120, 31);
    btn_TV_On->setFont(narrowFont(12, true));
    setTextColor(btn_TV_On, QColor(0, 0x80, 0));
    btn_TV_On->setIcon(ButtonGlyphs::icon(ButtonGlyphs::Glyph::TvOn));
    btn_TV_On->setEnabled(false);
    btn_TV_On->setFocusPolicy(Qt::NoFocus);
    connect(btn_TV_On, &QPushButton::clicked, this, &TForm1::btn_TV_OnClick);

    btn_TV_Off = new QPushButton(QStringLiteral("OTKЛЮЧИTb"), PanelR);
    btn_TV_Off->setObjectName(QStringLiteral("btn_TV_Off"));
    btn_TV_Off->resize(120, 30);
    btn_TV_Off->setFont(narrowFont(12, true));
    setTextColor(btn_TV_Off, QColor(0xFF, 0, 0));
    btn_TV_Off->setIcon(ButtonGlyphs::icon(ButtonGlyphs::Glyph::TvOff));
    btn_TV_Off->setToolTip(QStringLiteral("On/Off"));
    btn_TV_Off->setFocusPolicy(Qt::NoFocus);
    btn_TV_Off->hide();
    connect(btn_TV_Off, &QPushButton::clicked, this, &TForm1::btn_TV_OffClick);

    lbl_TV_status = new QLabel(QStringLiteral("TB OTKЛЮЧEH!"), PanelR);
    lbl_TV_status->setObjectName(QStringLiteral("lbl_TV_status"));
    lbl_TV_status->setGeometry(33, 449, 120, 20);
    lbl_TV_status->setAlignment(Qt::AlignCenter);
    lbl_TV_status->setFont(narrowFont(17));
    setTextColor(lbl_TV_status, QColor(0xFF, 0, 0));
    lbl_TV_status->setEnabled(false);
}

void TForm1::buildRatesTab()
{
    TabKurs->setFont(narrowFont(16));
    connect(TabKurs, &TRatesTab::fieldEdited, this, &TForm1::Modify);
    EditorRows = TabKurs->rows;
}

void TForm1::buildFieldsTab()
{
    TabPolya->setFont(narrowFont(15));
    LabelMon2 = TabPolya->LabelMon2;
    eMon2 = TabPolya->eMon2;
    seProc = TabPolya->seProc;
    seProcPixels = TabPolya->seProcPixels;
    bDefProc = TabPolya->bDefProc;
    connect(TabPolya, &TProportionsTab::proportionChanged, this, &TForm1::seProcChange);
    connect(TabPolya, &TProportionsTab::resetClicked, this, &TForm1::bDefProcClick);
}

void TForm1::buildRunTextTab()
{
    m_playlist = new Playlist(this);
    RunTextTab = new TRunTextTab(TabBegStr);
    m_runText = new RunTextController(*m_playlist, FrameCorvane1, [this] { return RunTextTab->speedValue(); }, this);
    connect(RunTextTab->bAdd, &QToolButton::clicked, this, &TForm1::bAddClick);
    connect(RunTextTab->bReplace, &QToolButton::clicked, this, &TForm1::bReplaceClick);
    connect(RunTextTab->bDel, &QToolButton::clicked, this, &TForm1::bDelClick);
    connect(RunTextTab->bPlay, &QToolButton::clicked, this, &TForm1::bPlayClick);
    connect(RunTextTab->bStop, &QToolButton::clicked, this, &TForm1::bStopClick);
    connect(RunTextTab->bOpen, &QToolButton::clicked, this, &TForm1::bOpenClick);
    connect(RunTextTab->bSave, &QToolButton::clicked, this, &TForm1::bSaveClick);
    connect(RunTextTab, &TRunTextTab::Edit1Return, this, &TForm1::Edit1KeyDown);
    connect(RunTextTab, &TRunTextTab::ListStrDelete, this, &TForm1::ListStrKeyDown);
    connect(RunTextTab, &TRunTextTab::ListStrClick, this, &TForm1::ListStrClick);
    connect(RunTextTab, &TRunTextTab::ListStrDblClick, this, &TForm1::ListStrDblClick);
    connect(RunTextTab->seSpeed, &QSpinBox::valueChanged, this, &TForm1::seSpeedChange);
    connect(m_playlist, &Playlist::changed, this, [this] {
        RunTextTab->showPlaylist(*m_playlist);
        programSettings().setRunningTexts(m_playlist->entries());
    });
}

// The help and about buttons, and the hidden menu whose keys work anywhere in the window,
// also when the help button is disabled.
void TForm1::buildCommands()
{
    const auto addButton = [this](const char *name, const QPixmap &glyph, int left, const QString &hint) {
        auto *button = new TLbSpeedButton(PanelR);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(left, 2, 38, 36);
        button->setFlat(true);
        button->setTransparent(true);
        button->setGlyph(glyph);
        button->setLightColor(clBtnFace);
        button->setShadowColor(clBtnFace);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(hint);
        return button;
    };
    bHelp = addButton("bHelp", helpButtonGlyph(), 5, QStringLiteral("[F1] Help"));
    bInfo = addButton("bInfo", infoButtonGlyph(), 45, QStringLiteral("[F3] Info"));
    // Beside the commands, so that it shows over every tab: why the rates cannot be typed.
    lblRatesNote = new QLabel(ChainController::readOnlyNote(), PanelR);
    lblRatesNote->setObjectName(QStringLiteral("lblRatesNote"));
    lblRatesNote->setGeometry(90, 8, 212, 26);
    lblRatesNote->setAlignment(Qt::AlignCenter);
    lblRatesNote->setFont(narrowFont(15, true));
    setTextColor(lblRatesNote, QColor(0xFF, 0x80, 0));
    lblRatesNote->hide();
    connect(bHelp, &TLbSpeedButton::OnClick, this, &TForm1::bHelpClick);
    connect(bInfo, &TLbSpeedButton::OnClick, this, &TForm1::bInfoClick);

    File1 = new QMenu(QStringLiteral("File"), this);
    File1->setObjectName(QStringLiteral("File1"));
    Help1 = File1->addAction(QStringLiteral("Help"), this, &TForm1::bHelpClick);
    Help1->setShortcut(Qt::Key_F1);
    Info1 = File1->addAction(QStringLiteral("Info"), this, &TForm1::bInfoClick);
    Info1->setShortcut(Qt::Key_F3);
    for (QAction *command : {Help1, Info1}) {
        command->setShortcutContext(Qt::WindowShortcut);
        addAction(command);
    }
    m_help = std::make_unique<TSPHelpViewer>();
}

void TForm1::buildTray()
{
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setMainWindow(this);
    PopupMenuTray = new QMenu(this);
    PopupMenuTray->setObjectName(QStringLiteral("PopupMenuTray"));
    Restore1 = PopupMenuTray->addAction(QStringLiteral("Restore"), this, &TForm1::TrayIcon1Click);
    Exit1 = PopupMenuTray->addAction(QStringLiteral("Exit"), this, &TForm1::Exit1Click);
    TrayIcon1->setPopupMenu(PopupMenuTray);
    connect(TrayIcon1, &TTrayIcon::OnClick, this, &TForm1::TrayIcon1Click);
    m_tray.setAvailability(&TTrayIcon::available);
}

void TForm1::setFormInfo(TFormInfo *formInfo)
{
    m_formInfo = formInfo;
}

void TForm1::setHelpViewer(std::unique_ptr<TSPHelpViewer> viewer)
{
    m_help = std::move(viewer);
    bHelp->setEnabled(!m_help->GetHelpFileFor(QString()).isEmpty());
}

void TForm1::buildJournalTab()
{
    JournalPage = new JournalTab(RateJournal::defaultPath(programTitle()), [] { return officeName(); },
                                 [this]() -> Dialogs & { return *m_dialogs; }, [] { return QDateTime::currentDateTime(); }, TabJournal);
    JournalPage->setObjectName(QStringLiteral("JournalPage"));
    (new QVBoxLayout(TabJournal))->addWidget(JournalPage);
    TabJournal->layout()->setContentsMargins(0, 0, 0, 0);
}

// Every change of the rates from here on is an entry; a first start with an empty journal
// begins it with what the board shows.
void TForm1::recordRates()
{
    m_journalRecorder = new JournalRecorder(*m_content, *m_journal, [] { return QDateTime::currentDateTime(); }, this);
    m_journalRecorder->recordStartingTable();
    connect(TabKurs, &TRatesTab::fieldLeft, m_journalRecorder, &JournalRecorder::flush);
}

// The office the rate order names: the chain's office id where there is one.
QString TForm1::officeName()
{
    const QString office = programSettings().chainOffice().trimmed();
    return office.isEmpty() ? programTitle() : office;
}

// The journal opens once the stored table shows, which it does not record. A journal set
// aside as damaged and a write that fails are said on the status bar: the board goes on.
void TForm1::openJournal()
{
    m_journal = new RateJournal(RateJournal::defaultPath(programTitle()), this);
    if (!m_journal->setAside().isEmpty())
        StatusBar1->showMessage(tr("Журнал курсов был повреждён и отложен как %1; начат новый.").arg(m_journal->setAside()));
    connect(m_journal, &RateJournal::writeFailed, StatusBar1, [this](const QString &file, const QString &reason) {
        StatusBar1->showMessage(tr("Журнал курсов не записан: %1: %2").arg(file, reason));
    });
    connect(m_journal, &RateJournal::writeRecovered, StatusBar1, &QStatusBar::clearMessage);
    // A list in view follows the journal; a hidden one reads again when it is shown.
    connect(m_journal, &RateJournal::written, JournalPage, [this] {
        if (JournalPage->isVisible())
            JournalPage->refresh();
    });
}

void TForm1::buildSettingsTab()
{
    TitleTab = new TTitleTab(TabNastroyki);
    m_title = new TitleLine(FrameCorvane1->LabelTop->caption(), this);
    connect(TitleTab->rbText, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            rbTextClick();
    });
    connect(TitleTab->rbImage, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            rbImageClick();
    });
    connect(TitleTab->bImage, &QPushButton::clicked, this, &TForm1::bImageClick);
    connect(TitleTab->eTextList, &THistoryComboBox::textChangedByOperator, this, &TForm1::eTextListChange);
    connect(TitleTab->eTextList, &THistoryComboBox::entrySelected, this, &TForm1::eTextListDropDown);
    connect(TitleTab->eTextList, &THistoryComboBox::closeUp, this, &TForm1::eTextListCloseUp);
    followTitle();

    WebBoardTab = new TWebBoardTab(TabNastroyki);
    m_webLine = new WebBoardLine(this);
    WebBoardTab->follow(*m_webLine);

    // Under the web board's group: an unattended board starts with the computer.
    cbAutostart = new TAutostartBox(AutostartEntry(programTitle(), QCoreApplication::applicationFilePath()), TabNastroyki);
    cbAutostart->setGeometry(8, TWebBoardTab::kTop + TWebBoardTab::kHeight + 4, TWebBoardTab::kWidth - 8, 22);
}

// The chain of offices has no room left on the settings tab: it has a tab of its own.
void TForm1::buildChainTab()
{
    m_chainLine = new ChainLine(programSettings(), this);
    ChainTab = new TChainTab(TabSet);
    ChainTab->move(4, 4);
    ChainTab->follow(*m_chainLine);
}

// Rates from the head office or to it: the chain starts once the stored table is shown,
// and a branch's rate editors are read-only while it is one.
void TForm1::joinChain()
{
    m_chain = new ChainController(*m_content, programSettings(), this);
    m_chainLine->follow(*m_chain);
    const auto showReadOnly = [this](bool readOnly) {
        TabKurs->setReadOnly(readOnly);
        lblRatesNote->setVisible(readOnly);
    };
    connect(m_chain, &ChainController::ratesReadOnlyChanged, this, showReadOnly);
    showReadOnly(m_chain->ratesReadOnly());
    connect(TabKurs, &TRatesTab::fieldLeft, m_chain, &ChainController::flush);
}

// Both boards and the options show the title's state; the TV board only once it exists.
void TForm1::followTitle()
{
    connect(m_title, &TitleLine::captionChanged, this, [this](const QString &caption) {
        for (TFrameCorvane *board : boards())
            board->LabelTop->setCaption(caption);
    });
    connect(m_title, &TitleLine::modeChanged, this, [this](bool showsPicture) {
        for (TFrameCorvane *board : boards())
            board->showTitlePicture(showsPicture);
        TitleTab->showMode(showsPicture);
    });
    connect(m_title, &TitleLine::pictureChanged, this, [this] {
        for (TFrameCorvane *board : boards())
            board->ImageTop->setPicture(m_title->picture());
    });
    connect(m_title, &TitleLine::pictureEnabledChanged, TitleTab->rbImage, &QWidget::setEnabled);
}

// A burst of changes (a TV that flickers on and off) is followed once, when it is over.
void TForm1::watchDisplays()
{
    m_displayChange = new QTimer(this);
    m_displayChange->setSingleShot(true);
    m_displayChange->setInterval(0);
    connect(m_displayChange, &QTimer::timeout, this, &TForm1::followDisplays);
    connect(&MonitorList::instance(), &MonitorList::changed, m_displayChange, qOverload<>(&QTimer::start));
}

// The TV board follows its monitor: gone, the board hides and waits with the TV still on;
// back, or in another mode or place, it covers the monitor again. The boards take the
// monitor's shape either way.
void TForm1::followDisplays()
{
    UpdateMonitorInfo();
    if (m_formMon2) {
        switch (m_tvSwitch.monitorsChanged(monitorCount() > 1)) {
        case TvSwitch::Window::Show:
            m_formMon2->show();
            m_formMon2->FormShow();
            break;
        case TvSwitch::Window::Hide:
            m_formMon2->hide();
            break;
        case TvSwitch::Window::Keep:
            break;
        }
        showTvState();
    }
    layOutBoards();
}

void TForm1::UpdateMonitorInfo()
{
    const int count = monitorCount();
    btn_TV_On->setEnabled(count > 1);
    LabelMon2->setEnabled(btn_TV_On->isEnabled());
    const QSize last = targetMonitorGeometry().size();
    eMon2->setText(QStringLiteral("%1) %2x%3").arg(count).arg(last.width()).arg(last.height()));
}

// Whether it is in the notification area or behind other windows, it comes back as from
// a click on the tray icon.
void TForm1::bringToFront()
{
    TrayIcon1Click();
}

void TForm1::changeEvent(QEvent *event)
{
    TDockPanel::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        WMSysCommand();
}

// The window leaves the screen and the task bar for the notification area. Where there
// is none it stays minimised the ordinary way, so that the task bar can bring it back.
void TForm1::WMSysCommand()
{
    if (!m_tray.minimise(outerBounds()))
        return;
    // Hidden after the minimise has run its course, and no longer minimised, so that it
    // comes back as it was.
    QTimer::singleShot(0, this, [this] {
        if (!m_tray.inTray())
            return;
        hide();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        TrayIcon1->setActive(true);
    });
}

void TForm1::TrayIcon1Click()
{
    TrayIcon1->setActive(false);
    m_tray.restored();
    showNormal();
    raise();
    activateWindow();
}

void TForm1::Exit1Click()
{
    close();
}

// A TV that waits for its monitor is still on: the next start shows it again.
void TForm1::FormCloseQuery()
{
    programSettings().setTV(m_formMon2 && m_tvSwitch.isOn());
}

void TForm1::bHelpClick()
{
    m_help->ShowTableOfContents();
}

void TForm1::bInfoClick()
{
    if (m_formInfo)
        m_formInfo->exec();
}

void TForm1::FormCreate()
{
    UpdateMonitorInfo();
    TrayIcon1->setIcon(QApplication::windowIcon());
    TrayIcon1->setToolTip(windowTitle());
    lbl_TV_status->setEnabled(btn_TV_On->isEnabled());
    btn_TV_Off->setGeometry(btn_TV_On->geometry());
    bHelp->setEnabled(!m_help->GetHelpFileFor(QString()).isEmpty());
    FrameCorvane1->InitBoard();

    ProgramIdentity::adopt();
    // The history box puts its own backslash in front of its key.
    TitleTab->eTextList->setKey(programSettings().settingsKey().mid(1) + QLatin1Char('\\') + kTitleHistoryKey);

    m_fonts->seedRecords();
    readSettings();
    loadTitleHistory();
    m_fonts->applyRecords();
    m_content->loadRateTable(programSettings().rateTableText());
    TabKurs->follow(*m_content);
    FrameCorvane1->followRates(*m_content);
    programSettings().setSettingsLoaded();
    // The stored table is made from the content; the table just read is not written back.
    connect(m_content, &BoardContent::ratesChanged, this,
            [this] { programSettings().setRateTableText(m_content->rateTableText()); });
    joinChain();
    openJournal();
    recordRates();
    loadPlaylist();
    // The boards follow the proportions wherever they are changed from.
    connect(&programSettings(), &ProgramSettings::proportionsChanged, this, &TForm1::layOutBoards);
    setProportionFields(programSettings().proportions());
    layOutBoards();
    startTitle();
    TimerClockTimer();
    programSettings().setWindowBounds(outerBounds());
}

void TForm1::TimerClockTimer()
{
    FrameCorvane1->LabelData->setCaption(clockLine(m_clock()));
    if (m_formMon2)
        m_formMon2->FrameCorvane1->LabelData->setCaption(FrameCorvane1->LabelData->caption());
}

// A history that holds entries overrides the stored title source with its first one.
void TForm1::loadTitleHistory()
{
    THistoryComboBox *list = TitleTab->eTextList;
    if (const std::optional<QString> error = list->LoadHistory())
        ErrorBox::notify(*error, this);
    programSettings().setTitleHistory(list->entries());
    if (list->count() == 0)
        return;
    list->setCurrentIndex(0);
    eTextListChange(list->currentText());
    programSettings().setFileName(list->currentText());
}

// The title source shows as the title text, and as the picture when the mode says so and
// the file loads. A stored picture that no longer loads is said once, without stopping the
// start: the board then shows the text.
void TForm1::startTitle()
{
    const QString fileName = programSettings().fileName();
    const std::optional<QString> error = m_title->startUp(fileName, titlePictureBand());
    TitleTab->eTextList->setText(fileName);
    if (error)
        ErrorBox::notify(tr("Картинка титула не загрузилась, поэтому титул показывает текст. "
                                 "Выберите картинку заново кнопкой «...» на вкладке «Настройки».\n%1").arg(*error), this);
}

// The picture is decoded for the largest title band it will fill: the TV board's, or the
// preview's when that is larger.
QSize TForm1::titlePictureBand() const
{
    const QSize tv = fullScreenTitleBand(targetMonitorGeometry().size(), programSettings().proportions());
    return tv.expandedTo(QSize(FrameCorvane1->PanelTablo->width(), FrameCorvane1->LabelTop->height()));
}

void TForm1::rbTextClick()
{
    m_title->selectText(TitleTab->eTextList->currentText());
}

void TForm1::rbImageClick()
{
    m_title->selectPicture();
}

// The chosen path becomes the title text at once; the picture, the title source and the
// picture option change only when the file loads.
void TForm1::bImageClick()
{
    const std::optional<QString> path = m_dialogs->choosePicture(programFolder(), this);
    if (!path)
        return;
    TitleTab->eTextList->setText(*path);
    if (const std::optional<QString> error = m_title->choosePicture(*path, titlePictureBand()))
        ErrorBox::show(*error, this);
}

void TForm1::eTextListChange(const QString &text)
{
    m_title->editText(text);
}

void TForm1::eTextListDropDown(int index)
{
    m_title->pickEntry(TitleTab->eTextList->itemText(index));
}

void TForm1::eTextListCloseUp()
{
    rememberTitleHistory();
}

// The text in the box goes to the top of the history, which the settings then keep. The
// head of the history is the title source of the next start, so "FileName" names it at
// once rather than keep a source the next start would override.
void TForm1::rememberTitleHistory()
{
    THistoryComboBox *list = TitleTab->eTextList;
    list->AddToHistory(list->currentText());
    programSettings().setTitleHistory(list->entries());
    if (list->count() > 0)
        programSettings().setFileName(list->itemText(0));
}

void TForm1::bFontClick(int field)
{
    m_fonts->chooseFont(field, *m_dialogs, this);
}

void TForm1::bFont1MouseDown(int field, Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_fonts->chooseColor(field, *m_dialogs, this);
}

void TForm1::layOutBoards()
{
    FormResize();
    if (m_formMon2)
        m_formMon2->FormResize();
    // A band of another size (another TV or mode, another title height) that needs another
    // scale shows the picture decoded afresh for it, as a start would.
    m_title->fitPicture(titlePictureBand());
}

// From here on every change of a stored value reaches the store within a second; a save
// that fails is shown in the status bar and tried again with the next change.
void TForm1::saveAsYouGo()
{
    m_saver = new SettingsSaver(programSettings(), this);
    connect(m_saver, &SettingsSaver::saveFailed, this, [this](const QString &error) {
        StatusBar1->showMessage(tr("Настройки не сохранены: проверьте место на диске и права на папку. %1").arg(error));
    });
    connect(m_saver, &SettingsSaver::saveRecovered, StatusBar1, &QStatusBar::clearMessage);
}

// Puts the proportions into their fields, which brings each into 0..50; the change
// handler stores what the field holds. Every pixel mirror is refreshed too, also where a
// field already held its value and reported no change.
void TForm1::setProportionFields(const Proportions &values)
{
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        seProc[static_cast<size_t>(tag)]->setValue(values.at(tag));
    for (QSpinBox *field : seProc)
        seProcChange(field);
}

// The stored list is loaded idle, its first entry selected; the speed field brings the
// stored speed into 1..9.
void TForm1::loadPlaylist()
{
    RunTextTab->seSpeed->setValue(programSettings().runSpeed());
    programSettings().setRunSpeed(RunTextTab->speedValue());
    m_playlist->loadStored(programSettings().runningTexts());
    RunTextTab->showPlaylist(*m_playlist);
}

void TForm1::readSettings()
{
    const std::unique_ptr<SettingsStore> store =
        SettingsStore::open(programSettings().settingsKey(), SettingsStore::Mode::OpenExisting);
    if (!store)
        return;
    const StoredWindowPosition stored = readStoredSettings(programSettings(), *store);
    // Wherever the stored position lies, the window lands wholly on a monitor. Far beyond any
    // screen is as good as at its edge, and keeps the arithmetic on it from overflowing.
    const auto bounded = [](int coordinate) { return std::clamp(coordinate, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); };
    const QPoint wanted(bounded(stored.left.value_or(x())), bounded(stored.top.value_or(y())));
    move(keepFullyVisible(QRect(wanted, frameGeometry().size()), monitorBounds()));
}

QList<TFrameCorvane *> TForm1::boards() const
{
    if (m_formMon2)
        return {FrameCorvane1, m_formMon2->FrameCorvane1};
    return {FrameCorvane1};
}

std::unique_ptr<TFormMon2> TForm1::createFormMon2()
{
    auto formMon2 = std::make_unique<TFormMon2>(FrameCorvane1, *m_content);
    attachFormMon2(formMon2.get());
    return formMon2;
}

void TForm1::attachFormMon2(TFormMon2 *formMon2)
{
    m_formMon2 = formMon2;
    m_fonts->setTvBoard(formMon2 ? formMon2->FrameCorvane1 : nullptr);
    if (!formMon2)
        return;
    if (formMon2->isVisible()) {
        m_tvSwitch.shown();
        showTvState();
    }
    m_runText->attach(formMon2);
    connect(formMon2, &TFormMon2::visibilityChanged, this,
            [this](bool visible) { m_tvSwitch.windowVisibilityChanged(visible); });
    m_screenAwake->follow(formMon2);
    serveBoardOnTheNetwork(formMon2);
}

// Browsers on the office network see what the TV shows.
void TForm1::serveBoardOnTheNetwork(TFormMon2 *formMon2)
{
    m_webBoard = std::make_unique<WebBoard>(formMon2->FrameCorvane1, formMon2->FrameCorvane1->RunLabel, *m_content);
    connect(formMon2, &QObject::destroyed, this, [this] { m_webBoard.reset(); });
    connect(m_webLine, &WebBoardLine::startRequested, m_webBoard.get(), &WebBoard::start);
    connect(m_webLine, &WebBoardLine::stopRequested, m_webBoard.get(), &WebBoard::stop);
    connect(m_webBoard.get(), &WebBoard::listening, m_webLine, &WebBoardLine::serverListening);
    connect(m_webBoard.get(), &WebBoard::failed, m_webLine, &WebBoardLine::serverFailed);
    connect(m_webBoard.get(), &WebBoard::stopped, m_webLine, &WebBoardLine::serverStopped);
    m_webLine->startUp();
}

void TForm1::showTvState()
{
    const TvSwitch::State state = m_tvSwitch.state();
    btn_TV_On->setVisible(state == TvSwitch::State::Off);
    btn_TV_Off->setVisible(state != TvSwitch::State::Off);
    switch (state) {
    case TvSwitch::State::Off:
        lbl_TV_status->setText(QStringLiteral("TB OTKЛЮЧEH!"));
        setTextColor(lbl_TV_status, QColor(0xFF, 0, 0));
        break;
    case TvSwitch::State::On:
        lbl_TV_status->setText(QStringLiteral("TB ВКЛЮЧЕН"));
        setTextColor(lbl_TV_status, QColor(0, 0x80, 0));
        break;
    case TvSwitch::State::Waiting:
        // The board shows again when its monitor comes back.
        lbl_TV_status->setText(QStringLiteral("ТВ НЕ ПОДКЛЮЧЕН"));
        setTextColor(lbl_TV_status, QColor(0xFF, 0x80, 0));
        break;
    }
}

void TForm1::btn_TV_OnClick()
{
    if (!m_formMon2)
        return;
    if (m_tvSwitch.switchOn() == TvSwitch::Window::Show)
        m_formMon2->show();
    if (!m_formMon2->isVisible())
        return;
    m_tvSwitch.shown();
    activateWindow();
    showTvState();
    programSettings().setTV(true);
}

void TForm1::btn_TV_OffClick()
{
    if (!m_formMon2 || m_tvSwitch.switchOff() != TvSwitch::Window::Hide)
        return;
    m_formMon2->hide();
    showTvState();
    programSettings().setTV(false);
}

void TForm1::seProcChange(QSpinBox *sender)
{
    const int tag = sender->property("tag").toInt();
    if (tag < 0 || tag >= Proportions::kCount)
        return;
    programSettings().setProportion(tag, sender->value());
    TabPolya->showPixels(tag, targetMonitorGeometry().size(), programSettings().proportions());
}

// The proportions go back to their first-run values at once, so that both boards are laid
// out once, not once per field.
void TForm1::bDefProcClick()
{
    programSettings().setProportions(Proportions{});
    setProportionFields(programSettings().proportions());
}

void TForm1::bAddClick()
{
    m_playlist->add(RunTextTab->Edit1->text());
    RunTextTab->ListStr->setFocus();
}

void TForm1::bReplaceClick()
{
    m_playlist->replace(RunTextTab->Edit1->text());
}

void TForm1::bDelClick()
{
    m_playlist->remove();
}

void TForm1::Edit1KeyDown()
{
    bAddClick();
    RunTextTab->Edit1->selectAll();
}

void TForm1::ListStrKeyDown()
{
    bDelClick();
}

void TForm1::ListStrClick()
{
    m_playlist->select(RunTextTab->selectedRow());
    if (const std::optional<QString> text = m_playlist->pick()) {
        RunTextTab->Edit1->setText(*text);
        RunTextTab->Edit1->selectAll();
    }
}

void TForm1::ListStrDblClick()
{
    m_playlist->select(RunTextTab->selectedRow());
    bPlayClick();
}

void TForm1::bPlayClick()
{
    m_runText->play();
}

void TForm1::bStopClick()
{
    m_runText->stop();
}

void TForm1::bOpenClick()
{
    const std::optional<QString> path = m_dialogs->chooseOpenFile(programFolder(), this);
    if (!path)
        return;
    QStringList entries;
    QString error;
    if (!ListFile::load(*path, entries, error)) {
        ErrorBox::show(error, this);
        return;
    }
    m_playlist->open(entries);
}

void TForm1::bSaveClick()
{
    const std::optional<QString> path = m_dialogs->chooseSaveFile(programFolder(), this);
    if (!path)
        return;
    QString error;
    if (!ListFile::save(*path, m_playlist->entries(), error))
        ErrorBox::show(error, this);
}

void TForm1::seSpeedChange()
{
    programSettings().setRunSpeed(RunTextTab->speedValue());
    m_runText->speedChanged();
}

void TForm1::Modify(QLineEdit *field)
{
    if (programSettings().settingsLoaded())
        TabKurs->commitEdit(field);
}

void TForm1::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    // In the notification area the window keeps the place it had before it was hidden.
    programSettings().setWindowBounds(m_tray.boundsToKeep(outerBounds()));
    m_fonts->storeRecords();
    rememberTitleHistory();
    m_help->ShutDown();
    // What was typed last is an entry, and the journal writes what it still holds before
    // the program ends.
    m_journalRecorder->flush();
    delete m_journalRecorder;
    m_journalRecorder = nullptr;
    delete m_journal;
    m_journal = nullptr;
    TrayIcon1->setActive(false);
    // The TV board may still show, but the screen is the desktop's again, and the session
    // hears so before the process is gone.
    m_screenAwake->releaseBeforeExit();
    const bool saved = saveAtExit();
    // The chain hears that this office goes offline. Its client may still wait for a name
    // lookup past the stop's safety alarm, so the settings were saved first; what the
    // goodbye changed (the last version) is saved again.
    m_chain->stop();
    if (saved && m_saver->isSavePending())
        saveAtExit();
}

// Nobody may be left to answer a box now (a shutdown, the end of the session), so a
// failure is told on the standard error and the program ends all the same.
bool TForm1::saveAtExit()
{
    if (m_saver->saveNow())
        return true;
    std::fprintf(stderr, "%s\n", qUtf8Printable(tr("Настройки не сохранены при выходе: %1").arg(m_saver->lastError())));
    return false;
}

void TForm1::FormResize()
{
    if (m_inFormResize)
        return;
    m_inFormResize = true;
    redock();
    FrameCorvane1->FrameResize();
    setFixedSize(FrameCorvane1->width() + kPanelRWidth, kClientHeight);
    redock();
    // The title line's separator stays right below the title, picture or text.
    FrameCorvane1->PanelTablo->moveDockedAfter(FrameCorvane1->SplitterT, FrameCorvane1->LabelTop);
    FontButtons->place(fontButtonPlaces(*FrameCorvane1));
    m_fonts->storeRecords();
    m_inFormResize = false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormCloseQuery();
    event->accept();
    emit closed();
}

void TForm1::showEvent(QShowEvent *event)
{
    TDockPanel::showEvent(event);
    // However the program showed it again (a click, the menu, a double click, a second
    // start), the window is out of the notification area. What the window system sends on
    // its own around a minimise says nothing about that.
    if (!event->spontaneous()) {
        m_tray.restored();
        TrayIcon1->setActive(false);
    }
    const QRect frame = outerBounds();
    const QPoint place = placeOperatorWindow(frame, monitorBounds());
    if (place != frame.topLeft())
        move(place);
    programSettings().setWindowBounds(outerBounds());
}

// While the window is being shown its frame geometry may still lie about where the frame
// will be; the position is the frame's corner all along.
QRect TForm1::outerBounds() const
{
    return QRect(pos(), frameGeometry().size());
}

void TForm1::moveEvent(QMoveEvent *event)
{
    TDockPanel::moveEvent(event);
    if (!m_tray.inTray())
        programSettings().setWindowBounds(outerBounds());
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    TDockPanel::resizeEvent(event);
    if (!m_tray.inTray())
        programSettings().setWindowBounds(outerBounds());
}
