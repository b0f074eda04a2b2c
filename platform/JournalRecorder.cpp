#include "platform/JournalRecorder.h"

#include "platform/RateJournal.h"

JournalRecorder::JournalRecorder(BoardContent &content, RateJournal &journal, Clock clock, QObject *parent)
    : QObject(parent)
    , m_content(content)
    , m_journal(journal)
    , m_clock(std::move(clock))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &JournalRecorder::flush);
    connect(&content, &BoardContent::rateSlotChanged, this, &JournalRecorder::slotChanged);
    connect(&content, &BoardContent::rateTableReplaced, this, &JournalRecorder::tableReplaced);
}

JournalEntry JournalRecorder::entry(qint64 id, int slot, const RateRow &before, const RateOrigin &origin) const
{
    JournalEntry e;
    e.id = id;
    e.time = m_clock();
    if (origin.kind == RateOrigin::Kind::HeadOffice) {
        e.source = JournalEntry::Source::HeadOffice;
        e.office = origin.office;
        e.version = origin.version;
    }
    e.slot = slot;
    e.before = before;
    e.after = m_content.rateSlot(slot);
    return e;
}

void JournalRecorder::recordStartingTable()
{
    if (!m_journal.wasEmpty())
        return;
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        if (isShownRow(m_content.rateSlot(slot).code))
            m_journal.record(entry(m_journal.nextId(), slot, RateRow(), RateOrigin::operatorTyped()));
    }
}

void JournalRecorder::slotChanged(int slot, const RateRow &before)
{
    if (m_typing && m_typing->slot != slot)
        flush();
    if (!m_typing)
        m_typing = Typing{m_journal.nextId(), slot, before};
    m_journal.record(entry(m_typing->id, slot, m_typing->before, RateOrigin::operatorTyped()));
    m_quiet.start();
}

void JournalRecorder::flush()
{
    m_quiet.stop();
    m_typing.reset();
}

void JournalRecorder::tableReplaced(const RateSlots &before, const RateOrigin &origin)
{
    flush();
    if (origin.kind == RateOrigin::Kind::Stored)
        return;
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        const RateRow &old = before[static_cast<size_t>(slot - 1)];
        if (old != m_content.rateSlot(slot))
            m_journal.record(entry(m_journal.nextId(), slot, old, origin));
    }
}
