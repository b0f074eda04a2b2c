#include "ProportionsTab.h"

#include "board/BoardGeometry.h"
#include "platform/ProgramSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

int proportionPixels(int tag, QSize monitor, const Proportions &proportions)
{
    // Widths are those of the full-size board, which is the monitor's shape turned upright,
    // not the monitor's own width.
    const BoardBands bands = boardBands(monitor.height(), monitor, proportions);
    if (tag == 3)
        return bands.dateWidth;
    if (tag == 4)
        return bands.nameWidth;
    return monitor.height() * proportions.at(tag) / 100;
}

TProportionsTab::TProportionsTab(QWidget *parent)
    : QWidget(parent)
{
    LabelMon2 = new QLabel(QStringLiteral("Внешний монитор:"), this);
    LabelMon2->setObjectName(QStringLiteral("LabelMon2"));
    LabelMon2->setGeometry(4, 6, 147, 22);
    LabelMon2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    eMon2 = new QLineEdit(QStringLiteral("-"), this);
    eMon2->setObjectName(QStringLiteral("eMon2"));
    eMon2->setReadOnly(true);
    eMon2->setGeometry(153, 4, 111, 24);

    const char *captions[] = {"Высота верхнего титула:", "Высота нижнего титула:", "Высота заголовка даты:",
                              "Ширина заголовка даты:",  "Ширина имен валют:",     "Высота заголовка валют:"};
    const int designValues[] = {20, 7, 12, 28, 37, 7};
    const int designPixels[] = {384, 134, 234, 302, 400, 134};
    for (int tag = 0; tag < 6; ++tag) {
        const int top = 34 + 28 * tag;
        auto *caption = new QLabel(QString::fromUtf8(captions[tag]), this);
        caption->setGeometry(0, top, 151, 30);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        QSpinBox *percent = addSpinField(QStringLiteral("seProc%1").arg(tag + 1), tag, QRect(153, top, 38, 30), 0, 50,
                                         designValues[tag]);
        seProc[static_cast<size_t>(tag)] = percent;
        auto *percentSign = new QLabel(QStringLiteral("%"), this);
        percentSign->setGeometry(193, top, 18, 30);

        // The pixel estimate is shown, never edited.
        QSpinBox *pixels = addSpinField(QStringLiteral("seProc%1p").arg(tag + 1), tag, QRect(212, top, 52, 30), 1, 1920,
                                        designPixels[tag]);
        pixels->setReadOnly(true);
        pixels->setEnabled(false);
        pixels->setButtonSymbols(QAbstractSpinBox::NoButtons);
        seProcPixels[static_cast<size_t>(tag)] = pixels;
        auto *unit = new QLabel(QStringLiteral("пикс."), this);
        unit->setGeometry(266, top, 34, 30);

        connect(percent, &QSpinBox::valueChanged, this, [this, percent] { emit proportionChanged(percent); });
    }
    bDefProc = new QPushButton(QStringLiteral("Сброс"), this);
    bDefProc->setObjectName(QStringLiteral("bDefProc"));
    bDefProc->setGeometry(207, 341, 90, 25);
    connect(bDefProc, &QPushButton::clicked, this, &TProportionsTab::resetClicked);
}

QSpinBox *TProportionsTab::addSpinField(const QString &name, int tag, const QRect &bounds, int minimum, int maximum,
                                        int value)
{
    auto *field = new QSpinBox(this);
    field->setObjectName(name);
    field->setProperty("tag", tag);
    field->setGeometry(bounds);
    field->setRange(minimum, maximum);
    field->setValue(value);
    return field;
}

void TProportionsTab::showPixels(int tag, QSize monitor, const Proportions &values)
{
    if (tag >= 0 && tag < Proportions::kCount)
        seProcPixels[static_cast<size_t>(tag)]->setValue(proportionPixels(tag, monitor, values));
}
