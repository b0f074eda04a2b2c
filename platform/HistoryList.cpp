#include "HistoryList.h"

#include "platform/SettingsStore.h"

#include <QCoreApplication>

HistoryList::HistoryList(const QStringList &entries, int maxHistoryLength)
    : m_entries(entries)
    , m_maxHistoryLength(maxHistoryLength)
{
}

QString HistoryList::valueName(int index)
{
    return QStringLiteral("H%1").arg(index);
}

void HistoryList::add(const QString &text)
{
    if (text.isEmpty())
        return;
    m_entries.prepend(text);
    // The new text stays even when the length allows none: the operator just entered it.
    int i = 1;
    while (i < m_entries.size()) {
        if (m_entries.at(i) == text || i >= m_maxHistoryLength)
            m_entries.removeAt(i);
        else
            ++i;
    }
}

std::optional<QString> HistoryList::load(const SettingsStore &store)
{
    m_entries.clear();
    for (int i = 0; i < m_maxHistoryLength; ++i) {
        const QString name = valueName(i);
        if (!store.hasValue(name))
            return std::nullopt;
        QString value;
        if (!store.readString(name, value))
            return QCoreApplication::translate("HistoryList", "Invalid data type for '%1'").arg(name);
        // An empty text is where an older program ended its list.
        if (value.isEmpty())
            return std::nullopt;
        m_entries.append(value);
    }
    return std::nullopt;
}

void HistoryList::save(SettingsStore &store) const
{
    for (int i = 0; i < m_entries.size(); ++i)
        store.writeString(valueName(i), m_entries.at(i));
}

HistoryList::Completion HistoryList::complete(const QString &text, int selectionStart, int selectionLength,
                                              QChar typed) const
{
    // The typed character replaces what is selected, which is the rest an earlier
    // completion added.
    const bool selected = selectionStart >= 0 && selectionLength > 0;
    const QString candidate = (selected ? text.left(selectionStart) : text) + typed;
    for (int i = 0; i < m_entries.size(); ++i) {
        const QString &entry = m_entries.at(i);
        if (entry.startsWith(candidate, Qt::CaseInsensitive))
            return Completion{true, i, candidate + entry.mid(candidate.size()), int(candidate.size())};
    }
    return Completion{};
}
