#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
struct Proportions;

// The pixels a proportion field (tag 0..5) comes to on the full-size board of the monitor:
// the heights are of the monitor's height, the two widths those the board lays out.
int proportionPixels(int tag, QSize monitor, const Proportions &proportions);

// The fields tab: the TV monitor's count and size, the six proportion fields with their
// pixel mirrors, and "Сброс". The window handles the changes.
class TProportionsTab : public QWidget
{
    Q_OBJECT
public:
    explicit TProportionsTab(QWidget *parent = nullptr);

    // Refreshes the pixel mirror of one field.
    void showPixels(int tag, QSize monitor, const Proportions &values);

    QLabel *LabelMon2;
    QLineEdit *eMon2;
    // seProc[0..5] are seProc1..seProc6, seProcPixels their pixel mirrors seProc1p..seProc6p.
    std::array<QSpinBox *, 6> seProc{};
    std::array<QSpinBox *, 6> seProcPixels{};
    QPushButton *bDefProc;

signals:
    // A proportion field's value changed; its "tag" property tells which.
    void proportionChanged(QSpinBox *field);
    void resetClicked();

private:
    QSpinBox *addSpinField(const QString &name, int tag, const QRect &bounds, int minimum, int maximum, int value);
};
