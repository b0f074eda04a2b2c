#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

class SettingsStore;

// The texts an operator entered before, most recent first, as the history combo box shows
// them. Kept apart from the widget so that the rules for adding, storing and completing
// hold without a window.
class HistoryList
{
public:
    static constexpr int DefaultMaxHistoryLength = 9;

    // What typing one character turns the edit text into. When nothing in the list fits,
    // found is false and the other fields say nothing.
    struct Completion
    {
        bool found = false;
        int index = -1;
        QString text;
        int selectionStart = 0;
    };

    HistoryList() = default;
    explicit HistoryList(const QStringList &entries, int maxHistoryLength = DefaultMaxHistoryLength);

    const QStringList &entries() const { return m_entries; }
    void setEntries(const QStringList &entries) { m_entries = entries; }
    int maxHistoryLength() const { return m_maxHistoryLength; }
    void setMaxHistoryLength(int length) { m_maxHistoryLength = length; }

    void add(const QString &text);

    // Replaces the entries with the values H0, H1, ... of the store. Returns the error text
    // when a value is not text; the entries read before it are kept.
    std::optional<QString> load(const SettingsStore &store);
    void save(SettingsStore &store) const;

    Completion complete(const QString &text, int selectionStart, int selectionLength, QChar typed) const;

    static QString valueName(int index);

private:
    QStringList m_entries;
    int m_maxHistoryLength = DefaultMaxHistoryLength;
};
