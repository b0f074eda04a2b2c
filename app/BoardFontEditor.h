#pragma once

#include <QList>
#include <QPointer>

class Dialogs;
class QWidget;
class TFrameCorvane;

// The fonts and colours of the board's fields (1..BoardFields::kCount): the stored font
// records, and the operator's choices from the font and colour dialogs, which reach both
// boards and the records at once.
class BoardFontEditor
{
public:
    explicit BoardFontEditor(TFrameCorvane *preview);

    // The TV board, once it exists: choices reach it too, and the font dialog shows the
    // size the customers see.
    void setTvBoard(TFrameCorvane *board) { m_tv = board; }

    // The records start from the fonts the preview was designed with, so that a record the
    // store lacks, or one that ends early, keeps what the field has.
    void seedRecords() const;
    // The preview's fields take the records.
    void applyRecords() const;
    // What the fields carry now, fitted sizes included, is what the records keep.
    void storeRecords() const;

    // The operator picks a font, or a colour, for a field.
    void chooseFont(int field, Dialogs &dialogs, QWidget *parent) const;
    void chooseColor(int field, Dialogs &dialogs, QWidget *parent) const;

private:
    QList<TFrameCorvane *> boards() const;

    TFrameCorvane *m_preview;
    QPointer<TFrameCorvane> m_tv;
};
