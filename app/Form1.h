#pragma once

#include "controls/DockPanel.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class SettingsStore;
class TFrameCorvane;

// The operator window: the board preview on the left, the panel of tabs on the right and
// the status bar along the bottom. It loads every setting when it is created and writes
// them all back when it is destroyed.
class TForm1 : public TDockPanel
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    void FormCreate();
    void FormDestroy();
    void FormResize();
    void UpdateMonitorInfo();

    TFrameCorvane *FrameCorvane1;
    QFrame *PanelR;
    QTabWidget *PageControl1;
    QWidget *TabKurs;
    QWidget *TabPolya;
    QWidget *TabNastroyki;
    QWidget *TabBegStr;
    QLabel *LabelMon2;
    QLineEdit *eMon2;
    QPushButton *btn_TV_On;
    QPushButton *btn_TV_Off;
    QLabel *lbl_TV_status;
    QStatusBar *StatusBar1;

    static constexpr int kPanelRWidth = 312;
    static constexpr int kClientHeight = 499;
    static constexpr int kStatusBarHeight = 19;

signals:
    // The operator (or a stop from outside) closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();
    void buildRightPanel();
    void buildFieldsTab();
    void buildStatusBar();
    void watchDisplays();

    void readSettings();
    bool readGuardedGroup(const SettingsStore &store);
    void writeSettings();

    bool m_destroyed = false;
    bool m_inFormResize = false;
};
