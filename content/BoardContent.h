#pragma once

#include "RateTable.h"

#include <QObject>
#include <QString>
#include <QVector>

// Where a change of the rates came from: the journal tells a typed rate from one the head
// office sent, and a table merely shown again at start-up is no change at all.
struct RateOrigin
{
    enum class Kind { Operator, HeadOffice, Stored };

    Kind kind = Kind::Operator;
    // The head office's id and the version of its table; empty and 0 otherwise.
    QString office;
    qint64 version = 0;

    static RateOrigin operatorTyped() { return {}; }
    static RateOrigin storedTable() { return {Kind::Stored, {}, 0}; }
    static RateOrigin headOffice(const QString &office, qint64 version) { return {Kind::HeadOffice, office, version}; }
};

// What the board shows: the eight rate slots, each with its code, buy and sell rate and
// second name as typed, and whether the slot has reached the board. It is the one copy of
// them: the editor rows, both boards, the web board and the stored table follow its
// signals, and every change, typed or received, is one call here.
//
// A first run starts from the design rows, which the editors show but the board does not:
// a slot reaches the board when it is first edited, and every slot of a stored or received
// table is on the board.
//
// Every row it holds fits the editor rows and carries no TAB, CR or LF, so each view shows
// the same text and the stored table reads back as it was.
class BoardContent : public QObject
{
    Q_OBJECT
public:
    explicit BoardContent(QObject *parent = nullptr);

    // The rows a first run shows before any table has been stored.
    static RateSlots designRates();

    // The rows as the editors show them.
    const RateSlots &rateSlots() const { return m_rates; }
    // The rows as the board carries them: a slot not yet on the board is an empty row.
    RateSlots boardRates() const;
    bool isOnBoard(int slot) const;
    // Slot 1 is the top line; a slot outside 1..RateSlotCount reads as an empty row.
    RateRow rateSlot(int slot) const;
    // The rows the board shows, in board order: on the board and with a shown code.
    QVector<RateRow> shownRates() const;
    // The table as the settings store it.
    QString rateTableText() const;

    // One row changed by the operator; it is on the board from now on. Nothing is
    // signalled when the row is already so.
    void setRateSlot(int slot, const RateRow &row);
    // The whole table at once, as one change from the origin given.
    void setRateSlots(const RateSlots &rows, const RateOrigin &origin);
    // The stored table. A stored table is the whole table: the slots it does not reach are
    // empty. With no table at all the rows stay as they are.
    void loadRateTable(const QString &text);

signals:
    // The row in the slot changed; `before` is what the board showed in it (an empty row
    // when the slot was not on the board).
    void rateSlotChanged(int slot, const RateRow &before);
    // The table was replaced at once; `before` is what the board showed.
    void rateTableReplaced(const RateSlots &before, const RateOrigin &origin);
    // Either of the above: once per call that changed anything.
    void ratesChanged();

private:
    static RateRow fitted(const RateRow &row);

    RateSlots m_rates;
    std::array<bool, RateSlotCount> m_onBoard{};
};
