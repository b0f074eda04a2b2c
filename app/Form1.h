#pragma once

#include "controls/DockPanel.h"

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class SettingsStore;
class TFrame1corvane;
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
    // The change handler of every field of the eight editor rows.
    void Modify(QLineEdit *field);

    // The boards that show what the operator edits: the preview, and the TV board once
    // its window exists.
    QList<TFrameCorvane *> boards() const;

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
    // Indexed by tag, 1 to 8; element 0 is unused.
    std::array<TFrame1corvane *, 9> EditorRows{};

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
    void buildRatesTab();
    void watchDisplays();

    void readSettings();
    bool readGuardedGroup(const SettingsStore &store);
    void writeSettings();

    bool m_destroyed = false;
    bool m_inFormResize = false;
};
