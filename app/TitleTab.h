#pragma once

#include <QWidget>

class QGroupBox;
class QPushButton;
class QRadioButton;
class THistoryComboBox;

// The widgets of the settings tab: the group " Титул " with the text and picture options,
// the picture button and the title's history combo box. It shows the title's state; the
// operator window's handlers act on it.
class TTitleTab : public QWidget
{
    Q_OBJECT
public:
    explicit TTitleTab(QWidget *parent = nullptr);

    // Selects the option of that mode; selecting the selected one does nothing.
    void showMode(bool showsPicture);

    QGroupBox *GroupTitle;
    QRadioButton *rbText;
    QRadioButton *rbImage;
    QPushButton *bImage;
    THistoryComboBox *eTextList;

    static constexpr int kMaxHistoryLength = 20;
};
