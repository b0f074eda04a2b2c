#include "RunLabel.h"

#include <QMouseEvent>

TRunLabel::TRunLabel(QWidget *parent)
    : TRunString(parent)
{
}

void TRunLabel::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
}

void TRunLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y());
    // A click is a left press released over the control.
    if (event->button() == Qt::LeftButton && rect().contains(at))
        emit OnClick(this);
}

void TRunLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
    if (event->button() == Qt::LeftButton)
        emit OnDblClick(this);
}
