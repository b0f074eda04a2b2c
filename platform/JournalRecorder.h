#pragma once

#include "content/BoardContent.h"
#include "platform/JournalEntry.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class RateJournal;

// Turns the changes of the board's content into journal entries:
// - what the cashier types into one field is one change: the keystrokes "9", "93", "93,1"
//   grow a single entry, which ends when the field is left (flush()) or after two quiet
//   seconds. The entry is written again with every keystroke, so that what the board
//   shows is in the file at once, yet it stays one entry;
// - a table replaced at once (by the operator or the head office) gives one entry per row
//   that changed;
// - a stored table shown again at start-up gives none.
class JournalRecorder : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kQuietMs = 2000;

    JournalRecorder(BoardContent &content, RateJournal &journal, Clock clock = [] { return QDateTime::currentDateTime(); },
                    QObject *parent = nullptr);

    // A journal that begins now starts with what the board shows: one entry per shown row.
    // Does nothing when the journal already held entries when it was opened.
    void recordStartingTable();
    // Ends the typed change (the field was left, or the program ends).
    void flush();
    // The typing pause after which a typed change ends; it runs while a change is open.
    const QTimer &quietTimer() const { return m_quiet; }

private:
    struct Typing
    {
        qint64 id = 0;
        int slot = 0;
        RateRow before;
    };

    void slotChanged(int slot, const RateRow &before);
    void tableReplaced(const RateSlots &before, const RateOrigin &origin);
    JournalEntry entry(qint64 id, int slot, const RateRow &before, const RateOrigin &origin) const;

    BoardContent &m_content;
    RateJournal &m_journal;
    Clock m_clock;
    QTimer m_quiet;
    std::optional<Typing> m_typing;
};
