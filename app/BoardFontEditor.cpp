#include "BoardFontEditor.h"

#include "board/BoardFields.h"
#include "board/BoardFonts.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"
#include "platform/Dialogs.h"
#include "platform/ProgramSettings.h"

BoardFontEditor::BoardFontEditor(TFrameCorvane *preview)
    : m_preview(preview)
{
}

QList<TFrameCorvane *> BoardFontEditor::boards() const
{
    if (m_tv)
        return {m_preview, m_tv.data()};
    return {m_preview};
}

void BoardFontEditor::seedRecords() const
{
    for (int field = 1; field <= BoardFields::kCount; ++field)
        programSettings().setFontRecord(field, boardFontOf(*BoardFields::recordTarget(*m_preview, field)));
}

void BoardFontEditor::applyRecords() const
{
    for (int field = 1; field <= BoardFields::kCount; ++field)
        applyBoardFont(*BoardFields::recordTarget(*m_preview, field), programSettings().fontRecord(field));
    BoardFields::copyReadFonts(*m_preview);
}

void BoardFontEditor::storeRecords() const
{
    for (int field = 1; field <= BoardFields::kCount; ++field)
        programSettings().setFontRecord(field, boardFontOf(*BoardFields::recordSource(*m_preview, field)));
}

void BoardFontEditor::chooseFont(int field, Dialogs &dialogs, QWidget *parent) const
{
    BoardFont initial = boardFontOf(*BoardFields::dialogSource(*m_preview, field));
    // The preview is a scaled copy: the dialog shows the size the customers see.
    if (m_tv)
        initial.font.setPointSize(boardFontOf(*BoardFields::dialogSource(*m_tv, field)).font.pointSize());
    const std::optional<BoardFont> chosen = dialogs.chooseFont(initial, parent);
    if (!chosen)
        return;
    for (TFrameCorvane *board : boards()) {
        for (TLabel3D *label : BoardFields::labels(*board, field)) {
            applyBoardFont(*label, *chosen);
            TFrameCorvane::FitFontToLabel(label);
        }
    }
    storeRecords();
}

void BoardFontEditor::chooseColor(int field, Dialogs &dialogs, QWidget *parent) const
{
    const TColor initial = BoardFields::dialogSource(*m_preview, field)->fontColor();
    const std::optional<TColor> chosen = dialogs.chooseColor(initial, parent);
    if (!chosen)
        return;
    for (TFrameCorvane *board : boards()) {
        for (TLabel3D *label : BoardFields::labels(*board, field))
            label->setFontColor(*chosen);
    }
    storeRecords();
}
