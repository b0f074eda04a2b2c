#pragma once

#include "FrameCorvane.h"

class BoardContent;

// The board for the customers: a borderless, black window without input or mouse pointer
// that covers the whole last monitor. Its board starts with the preview's captions, fonts
// and rows.
class TFormMon2 : public TDockPanel
{
    Q_OBJECT
public:
    // Runs the creation sequence: the board copies the preview's look, shows the content's
    // rates and follows them, and the window shows itself when the TV was on at the last
    // exit. The content outlives the window.
    TFormMon2(const TFrameCorvane *preview, const BoardContent &content,
              QWidget *parent = nullptr);

    void FormResize();
    // Covers the whole target monitor as it is at this moment.
    void FormShow();

    // The ticker over the bottom band: runs a text from its first step, covering LabelBot.
    void startTicker(const QString &text);
    // The next text of a running list, after a run has ended.
    void runNext(const QString &text);
    // Back to the still bottom band, empty.
    void stopTicker();
    // The step size in pixels per tick, 1..9 from the operator window.
    void setTickerStep(int step);

    // The ticker's run events, handed on to the operator window.
    void FrameCorvane1RunLabelBegin();
    void FrameCorvane1RunLabelEnd();

    TFrameCorvane *FrameCorvane1;

signals:
    // A run of the ticker has begun with this text.
    void runBegan(const QString &text);
    // A run has ended and the ticker's timer has stopped.
    void runEnded();
    // The window showed or hid, whoever asked it to.
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate(const TFrameCorvane *preview, const BoardContent &content);
};
