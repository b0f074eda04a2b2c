#pragma once

#include "FrameCorvane.h"

// The board for the customers: a borderless, black window without input or mouse pointer
// that covers the whole last monitor. Its board starts with the preview's captions, fonts
// and rows.
class TFormMon2 : public TDockPanel
{
    Q_OBJECT
public:
    // Runs the creation sequence: the board copies the preview's look, reads the rate
    // table (handing each row to writeEditorRow) and the window shows itself when the TV
    // was on at the last exit.
    TFormMon2(const TFrameCorvane *preview, const TFrameCorvane::EditorRowWriter &writeEditorRow,
              QWidget *parent = nullptr);

    void FormResize();

    TFrameCorvane *FrameCorvane1;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate(const TFrameCorvane *preview, const TFrameCorvane::EditorRowWriter &writeEditorRow);
    void copyLookFrom(const TFrameCorvane *preview);
    void FormShow();
};
