#include "FontButtons.h"

#include "board/FontButtonPlaces.h"

#include <QMouseEvent>
#include <QToolButton>

TFontButtons::TFontButtons(QWidget *window)
    : QObject(window)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(15);
    font.setBold(true);
    font.setItalic(true);
    for (int field = 1; field <= 9; ++field) {
        auto *button = new QToolButton(window);
        button->setObjectName(QStringLiteral("bFont%1").arg(field));
        button->setProperty("tag", field);
        button->setText(QStringLiteral("A"));
        button->setFont(font);
        button->setStyleSheet(QStringLiteral("color: red;"));
        button->resize(kFontButtonWidth, kFontButtonHeight);
        button->setToolTip(QStringLiteral("Шрифт. пр.кл. Цвет шрифта"));
        // Not on the way of the Tab key through the editor rows.
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, field] { emit clicked(field); });
        bFont[size_t(field - 1)] = button;
    }
}

void TFontButtons::place(const std::array<QPoint, 9> &corners)
{
    for (size_t i = 0; i < bFont.size(); ++i) {
        bFont[i]->move(corners[i]);
        bFont[i]->raise();
    }
}

bool TFontButtons::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const int field = watched->property("tag").toInt();
        emit mousePressed(field, static_cast<QMouseEvent *>(event)->button());
    }
    return QObject::eventFilter(watched, event);
}
