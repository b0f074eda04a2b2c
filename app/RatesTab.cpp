#include "RatesTab.h"

#include "Frame1corvane.h"
#include "content/BoardContent.h"

#include <QLineEdit>

TRatesTab::TRatesTab(QWidget *parent)
    : QWidget(parent)
{
    const int tops[RateSlotCount] = {3, 48, 93, 138, 183, 228, 273, 320};
    QWidget *previous = nullptr;
    for (int tag = 1; tag <= RateSlotCount; ++tag) {
        auto *row = new TFrame1corvane(tag, this);
        row->move(0, tops[tag - 1]);
        rows[static_cast<size_t>(tag)] = row;
        connect(row, &TFrame1corvane::Modify, this, &TRatesTab::fieldEdited);
        for (QLineEdit *field : {row->EditK, row->Editname, row->Edit1, row->Edit2})
            connect(field, &QLineEdit::editingFinished, this, &TRatesTab::fieldLeft);
        // Tab walks buy, sell, then the next row's buy.
        if (previous)
            QWidget::setTabOrder(previous, row->Edit1);
        QWidget::setTabOrder(row->Edit1, row->Edit2);
        previous = row->Edit2;
    }
}

void TRatesTab::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        TFrame1corvane *row = rows[static_cast<size_t>(slot)];
        for (QLineEdit *field : {row->EditK, row->Editname, row->Edit1, row->Edit2})
            field->setReadOnly(readOnly);
    }
}

void TRatesTab::follow(BoardContent &content)
{
    m_content = &content;
    showAll();
    connect(&content, &BoardContent::rateSlotChanged, this, &TRatesTab::showSlot);
    connect(&content, &BoardContent::rateTableReplaced, this, &TRatesTab::showAll);
}

void TRatesTab::commitEdit(QLineEdit *field)
{
    if (!m_content || !field || m_readOnly)
        return;
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        TFrame1corvane *row = rows[static_cast<size_t>(slot)];
        if (row->isAncestorOf(field)) {
            m_content->setRateSlot(slot, row->rateRow());
            return;
        }
    }
}

void TRatesTab::showSlot(int slot)
{
    if (slot >= 1 && slot <= RateSlotCount)
        rows[static_cast<size_t>(slot)]->setRateRow(m_content->rateSlot(slot));
}

void TRatesTab::showAll()
{
    for (int slot = 1; slot <= RateSlotCount; ++slot)
        showSlot(slot);
}
