#pragma once

#include "TrayMinimiser.h"
#include "TvSwitch.h"
#include "board/FormMon2.h"
#include "content/RateTable.h"
#include "controls/DockPanel.h"

#include <QDateTime>
#include <QPointer>

#include <functional>

#include <array>
#include <memory>

class BoardContent;
class ChainController;
class JournalRecorder;
class ChainLine;
class TChainTab;
class BoardFontEditor;
class Dialogs;
class Playlist;
class TFontButtons;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTimer;
class QAction;
class QMenu;
class TFormInfo;
class TSPHelpViewer;
class TTrayIcon;
class ScreenAwake;
class TLbSpeedButton;
class QTabWidget;
class SettingsSaver;
class SettingsStore;
class TFrame1corvane;
class TProportionsTab;
class RunTextController;
class TRatesTab;
class JournalTab;
class RateJournal;
class TRunTextTab;
class TTitleTab;
class TWebBoardTab;
class TAutostartBox;
class WebBoard;
class WebBoardLine;
class TitleLine;
class TFrameCorvane;
class TFormMon2;

// The operator window: the board preview on the left, the panel of tabs on the right and
// the status bar along the bottom. It loads every setting when it is created and writes
// them all back when it is destroyed.
class TForm1 : public TDockPanel
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The program's title: the file name of the executable without folder and extension.
    static QString programTitle();
    // The folder the program file lies in.
    static QString programFolder();
    // The office as the rate order names it: the chain's office id, or the program title.
    static QString officeName();

    void FormCreate();
    void FormDestroy();
    void FormResize();
    void UpdateMonitorInfo();
    // Another start of the program asked for this window: it comes to the front.
    void bringToFront();
    // The change handler of every field of the eight editor rows.
    void Modify(QLineEdit *field);

    // Creates the TV window from this window's preview and editor rows, as the program
    // does right after this window, and attaches it. The caller owns it.
    std::unique_ptr<TFormMon2> createFormMon2();
    // Hands over the TV window once it exists; from then on every change reaches its board.
    void attachFormMon2(TFormMon2 *formMon2);
    TFormMon2 *formMon2() const { return m_formMon2; }
    // The board served to browsers, once the TV window is there.
    WebBoard *webBoard() const { return m_webBoard.get(); }
    // The TV is on, and its board waits for its monitor to come back.
    bool tvWaiting() const { return m_tvSwitch.state() == TvSwitch::State::Waiting; }
    // What the boards show; every change of the rates goes through it.
    BoardContent &content() const { return *m_content; }

    void btn_TV_OnClick();
    void btn_TV_OffClick();
    // Change handler of the six proportion fields; the sender's tag tells which.
    void seProcChange(QSpinBox *sender);
    void bDefProcClick();
    // Lays out the preview and, once it exists, the TV board.
    void layOutBoards();

    // The font buttons: a click chooses the field's font, a right press its colour.
    void bFontClick(int field);
    void bFont1MouseDown(int field, Qt::MouseButton button);
    // Where the font and colour dialogs come from; tests script their answers.
    void setDialogs(Dialogs &dialogs) { m_dialogs = &dialogs; }

    // The running-text tab: its handlers act on the playlist, the tab and the boards follow.
    void bAddClick();
    void bReplaceClick();
    void bDelClick();
    void bPlayClick();
    void bStopClick();
    void bOpenClick();
    void bSaveClick();
    void Edit1KeyDown();
    void ListStrKeyDown();
    void ListStrClick();
    void ListStrDblClick();
    void seSpeedChange();
    Playlist &playlist() const { return *m_playlist; }

    // The title group of the settings tab: text or picture, the picture file, the title text.
    void rbTextClick();
    void rbImageClick();
    void bImageClick();
    void eTextListChange(const QString &text);
    void eTextListDropDown(int index);
    void eTextListCloseUp();
    TitleLine &titleLine() const { return *m_title; }

    // The date cell of both boards, refreshed every 15 seconds and once when start-up ends.
    void TimerClockTimer();
    // The window commands: minimise to the notification area and back, exit, help, about.
    void WMSysCommand();
    void TrayIcon1Click();
    void Exit1Click();
    void FormCloseQuery();
    void bHelpClick();
    void bInfoClick();
    // The about window, made by the program after this window; the Info command shows it.
    void setFormInfo(TFormInfo *formInfo);
    // Where help requests go; tests give a viewer of their own help file.
    void setHelpViewer(std::unique_ptr<TSPHelpViewer> viewer);
    TSPHelpViewer &helpViewer() const { return *m_help; }
    // Whether minimising goes to the notification area; without one (a bare X server) the
    // window minimises the ordinary way, or it could not be brought back. The desktop is
    // asked at each minimise: its panel may come up after a program started with the
    // session. Tests give their own answer.
    using TrayAvailability = std::function<bool()>;
    bool minimisesToTray() const { return m_tray.available(); }
    void setTrayAvailability(TrayAvailability available) { m_tray.setAvailability(std::move(available)); }
    // Keeps the screen from blanking while the TV board shows.
    ScreenAwake &screenAwake() const { return *m_screenAwake; }
    // Where the clock reads the time; tests give their own.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The boards that show what the operator edits: the preview, and the TV board once
    // its window exists.
    QList<TFrameCorvane *> boards() const;

    TFrameCorvane *FrameCorvane1;    // the preview of the board, on the left
    QFrame *PanelR;                  // the right-hand panel: the tabs and the TV switch
    QTabWidget *PageControl1;        // the tabs
    TRatesTab *TabKurs;              // "Курс": the rate editor rows
    TProportionsTab *TabPolya;       // "Поля": the monitor and the proportions of the bands
    QWidget *TabNastroyki;           // "Настройки": title, start-up, web board
    QWidget *TabBegStr;              // "Бег.Стр": the running text
    QWidget *TabSet;                 // "Сеть": the chain of offices
    TChainTab *ChainTab;             // the widgets of TabSet
    QWidget *TabJournal;             // "Журнал": the rates shown, and the rate order
    QLabel *LabelMon2;               // "Внешний монитор:", the TV monitor's caption
    QLineEdit *eMon2;                // the monitor count and the TV monitor's size
    QPushButton *btn_TV_On;          // switches the TV board on
    QPushButton *btn_TV_Off;         // switches it off; in the On button's place
    QLabel *lbl_TV_status;           // the TV's state in words
    QStatusBar *StatusBar1;
    QTimer *TimerClock;              // refreshes the date cell
    TLbSpeedButton *bHelp;           // help
    TLbSpeedButton *bInfo;           // about
    QLabel *lblRatesNote;            // at a branch: "Курсы задаёт центр"
    TTrayIcon *TrayIcon1;            // the icon in the notification area while minimised
    QMenu *PopupMenuTray;            // its menu: Restore1, Exit1
    QAction *Restore1;
    QAction *Exit1;
    // The hidden main menu: its commands work by their keys alone.
    QMenu *File1;
    QAction *Help1;
    QAction *Info1;
    // seProc[0..5] are seProc1..seProc6, the proportion fields; seProcPixels their pixel
    // mirrors seProc1p..seProc6p. They live on TabPolya.
    std::array<QSpinBox *, 6> seProc{};
    std::array<QSpinBox *, 6> seProcPixels{};
    QPushButton *bDefProc;           // "Сброс": the proportions back to their first-run values
    TRunTextTab *RunTextTab;         // the widgets of TabBegStr
    TTitleTab *TitleTab;             // the title group of TabNastroyki
    TWebBoardTab *WebBoardTab;       // the web board group of TabNastroyki
    JournalTab *JournalPage;         // the widgets of TabJournal
    TAutostartBox *cbAutostart;      // start with the session
    TFontButtons *FontButtons;       // the font buttons over the preview's fields
    // The rate editor rows of TabKurs, indexed by tag, 1 to 8; element 0 is unused.
    std::array<TFrame1corvane *, RateSlotCount + 1> EditorRows{};

    static constexpr int kPanelRWidth = 312;
    static constexpr int kClientHeight = 499;
    static constexpr int kStatusBarHeight = 19;

signals:
    // The operator (or a stop from outside) closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildWindow();
    void buildRightPanel();
    void buildFieldsTab();
    void buildStatusBar();
    void buildRatesTab();
    void buildRunTextTab();
    void buildSettingsTab();
    void buildChainTab();
    void joinChain();
    void buildJournalTab();
    void openJournal();
    void recordRates();
    void serveBoardOnTheNetwork(TFormMon2 *formMon2);
    void buildCommands();
    void buildTray();
    void followTitle();
    void loadTitleHistory();
    void startTitle();
    void rememberTitleHistory();
    QSize titlePictureBand() const;
    void loadPlaylist();
    void watchDisplays();

    void readSettings();
    void saveAsYouGo();
    bool saveAtExit();
    QRect outerBounds() const;

    void showTvState();
    void followDisplays();
    void setProportionFields(const struct Proportions &values);

    BoardContent *m_content;
    QPointer<TFormMon2> m_formMon2;
    SettingsSaver *m_saver = nullptr;
    Playlist *m_playlist = nullptr;
    RunTextController *m_runText = nullptr;
    ChainLine *m_chainLine = nullptr;
    ChainController *m_chain = nullptr;
    JournalRecorder *m_journalRecorder = nullptr;
    std::unique_ptr<BoardFontEditor> m_fonts;
    TitleLine *m_title = nullptr;
    WebBoardLine *m_webLine = nullptr;
    // The board for browsers; it follows the TV board, so it lives as long as that one.
    std::unique_ptr<WebBoard> m_webBoard;
    Clock m_clock = [] { return QDateTime::currentDateTime(); };
    std::unique_ptr<TSPHelpViewer> m_help;
    QPointer<TFormInfo> m_formInfo;
    TrayMinimiser m_tray{nullptr};
    ScreenAwake *m_screenAwake = nullptr;
    TvSwitch m_tvSwitch;
    QTimer *m_displayChange = nullptr;
    Dialogs *m_dialogs = nullptr;
    RateJournal *m_journal = nullptr;
    bool m_destroyed = false;
    bool m_inFormResize = false;
};
