#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class WebBoardLine;

// The group " Веб-табло " of the settings tab, below the title group: the switch, the port,
// the addresses to open the board at with the QR code of the first, and the server's
// status. It only shows the web board's line and hands the operator's changes to it.
class TWebBoardTab : public QWidget
{
    Q_OBJECT
public:
    // Its place on the settings tab: under the title group, as wide as it, with room below
    // for one row of options.
    static constexpr int kTop = 100;
    static constexpr int kWidth = 297;
    static constexpr int kHeight = 234;

    explicit TWebBoardTab(QWidget *parent = nullptr);

    // Shows the line's state from now on and passes the check box and the port field to it.
    void follow(WebBoardLine &line);

    void showSwitchedOn(bool on);
    void showPort(int port);
    void showAllowedRanges(const QString &ranges);
    void showAddresses(const QStringList &lines);
    // The code is drawn as large as its place allows; no text, no picture.
    void showQrCode(const QString &text);
    void showStatus(const QString &text, bool isError);
    void showAddressesVisible(bool visible);

    QGroupBox *GroupWeb;
    QCheckBox *cbWebBoard;
    QLabel *lblPort;
    QSpinBox *ePort;
    QLabel *lblWebAllow;
    QLineEdit *eWebAllow;
    QLabel *lblWebStatus;
    QLabel *lblWebAddress;
    QLabel *imgWebQr;

private:
    void buildSwitchRow();
    void buildAllowRow();
    void buildAddressPart();
};
