#include "BoardFields.h"

#include "FrameCorvane.h"

namespace BoardFields {

namespace {

enum Field { Title = 1, Date, Caption, Headers, Codes, Buy, Sell, Running, Names };

// The label of one row that belongs to a column field; null for the other fields.
TLabel3D *rowLabel(const TFrameCorvane &board, int field, int row)
{
    const TFrameCorvane::RowLabelSet &labels = board.row(row);
    switch (field) {
    case Codes: return labels.Name;
    case Buy: return labels.Pok;
    case Sell: return labels.Prod;
    case Names: return labels.NameRus;
    default: return nullptr;
    }
}

TLabel3D *singleLabel(const TFrameCorvane &board, int field)
{
    switch (field) {
    case Title: return board.LabelTop;
    case Date: return board.LabelData;
    case Caption: return board.LabelTitle;
    case Running: return board.LabelBot;
    default: return nullptr;
    }
}

} // namespace

QList<TLabel3D *> labels(const TFrameCorvane &board, int field)
{
    if (TLabel3D *label = singleLabel(board, field))
        return {label};
    if (field == Headers)
        return {board.LabelTitPok, board.LabelTitProd};
    QList<TLabel3D *> column;
    if (!board.hasRowLabels())
        return column;
    for (int row = 1; row <= RateSlotCount; ++row) {
        if (TLabel3D *label = rowLabel(board, field, row))
            column.append(label);
    }
    return column;
}

TLabel3D *dialogSource(const TFrameCorvane &board, int field)
{
    if (field == Headers)
        return board.LabelTitProd;
    return recordSource(board, field);
}

TLabel3D *recordSource(const TFrameCorvane &board, int field)
{
    if (field == Headers)
        return board.LabelTitPok;
    if (TLabel3D *label = singleLabel(board, field))
        return label;
    return board.hasRowLabels() ? rowLabel(board, field, 1) : recordTarget(board, field);
}

TLabel3D *recordTarget(const TFrameCorvane &board, int field)
{
    switch (field) {
    case Headers: return board.LabelTitPok;
    case Codes: return board.LabelName;
    case Buy: return board.LabelPok;
    case Sell: return board.LabelProd;
    case Names: return board.LabelNameRus;
    default: return singleLabel(board, field);
    }
}

void copyReadFonts(TFrameCorvane &board)
{
    TFrameCorvane::CopyLabelFont(board.LabelTitPok, board.LabelTitProd);
    if (!board.hasRowLabels())
        return;
    for (const int field : {Codes, Buy, Sell, Names}) {
        for (int row = 1; row <= RateSlotCount; ++row)
            TFrameCorvane::CopyLabelFont(recordTarget(board, field), rowLabel(board, field, row));
    }
}

} // namespace BoardFields
