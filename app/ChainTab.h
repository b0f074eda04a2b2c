#pragma once

#include "ChainLine.h"

#include <QWidget>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The group " Сеть офисов " of the settings tab: the office's role, how it reaches the
// chain's broker, the status line and, at the head office, the offices seen on the chain.
// It only shows the chain's line and hands the operator's changes to it.
class TChainTab : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 297;
    static constexpr int kHeight = 330;

    explicit TChainTab(QWidget *parent = nullptr);

    // Shows the line's state from now on and passes the role list and the fields to it. A
    // field counts once the operator leaves it or presses Enter, not at each key.
    void follow(ChainLine &line);

    void showRole(int role);
    void showFields(const ChainLine &line);
    void showStatus(const QString &text, bool isError);
    void showOffices(const QStringList &lines);

    QGroupBox *GroupChain;
    QComboBox *cbChainRole;
    QLineEdit *eChainUrl;
    QLineEdit *eChainId;
    QLineEdit *eChainOffice;
    QLineEdit *eChainUser;
    QLineEdit *eChainPassword;
    QLineEdit *eChainCaFile;
    QLabel *lblChainStatus;
    QListWidget *lstChainOffices;

private:
    QLineEdit *addField(const char *name, const QString &caption, int row);
    std::array<QLineEdit *, 6> fields() const;
};
