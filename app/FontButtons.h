#pragma once

#include <QObject>

#include <array>

class QPoint;
class QToolButton;
class QWidget;

// The nine small "A" buttons over the preview, one per board field: a click chooses the
// field's font, a press of the right mouse button its colour.
class TFontButtons : public QObject
{
    Q_OBJECT
public:
    // The buttons are children of `window`, so that they float over the preview.
    explicit TFontButtons(QWidget *window);

    // Puts bFont1..bFont9 at these top-left corners and keeps them above the preview.
    void place(const std::array<QPoint, 9> &corners);

    // bFont1..bFont9 at index 0..8; each carries its field number as "tag".
    std::array<QToolButton *, 9> bFont{};

signals:
    void clicked(int field);
    void mousePressed(int field, Qt::MouseButton button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
