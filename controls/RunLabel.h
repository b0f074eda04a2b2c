#pragma once

#include "RunString.h"

class QMouseEvent;

// The board's ticker: TRunString with its path, text, designer step and the run and
// mouse events published. The run events OnBegin, OnStep and OnEnd are the signals
// inherited from TRunString.
class TRunLabel : public TRunString
{
    Q_OBJECT
public:
    Q_PROPERTY(TRDirection Direction READ direction WRITE setDirection)
    Q_PROPERTY(QString RText READ rText WRITE setRText)
    Q_PROPERTY(int StepToView READ stepToView WRITE setStepToView)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ isVisibleFlag WRITE setVisible)

    explicit TRunLabel(QWidget *parent = nullptr);

signals:
    void OnClick(QObject *sender);
    void OnDblClick(QObject *sender);
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
