#include "Playlist.h"

Playlist::Playlist(QObject *parent)
    : QObject(parent)
{
}

QString Playlist::entry(int index) const
{
    return index >= 0 && index < count() ? m_entries.at(index) : QString();
}

void Playlist::finish(const View &before, bool entriesChanged)
{
    if (entriesChanged || view() != before)
        emit changed();
}

int Playlist::clampedSelection(int index) const
{
    return index >= 0 && index < count() ? index : -1;
}

// Delete and Replace act on the selected entry, so they follow the selection, but only when
// an editing button is used: a plain click in the list leaves them as they were.
void Playlist::updateEditButtons()
{
    m_buttons.remove = m_selected >= 0;
    m_buttons.replace = m_buttons.remove;
}

// Play needs an entry to play and is off while the list plays.
void Playlist::updatePlayButton()
{
    m_buttons.play = !m_buttons.stop && !m_entries.isEmpty();
}

void Playlist::select(int index)
{
    const View before = view();
    m_selected = clampedSelection(index);
    finish(before, false);
}

// A loaded list always starts idle from its first entry, whatever was playing before; a
// ticker that still runs is the window's to stop.
void Playlist::resetList(const QStringList &entries)
{
    const View before = view();
    const bool entriesChanged = m_entries != entries;
    m_entries = entries;
    m_selected = clampedSelection(0);
    m_buttons.stop = false;
    updatePlayButton();
    updateEditButtons();
    finish(before, entriesChanged);
}

void Playlist::loadStored(const QStringList &entries)
{
    resetList(entries);
}

void Playlist::open(const QStringList &entries)
{
    resetList(entries);
}

// The new text goes before the selected entry and takes its place in the selection, so
// repeated adds keep their order ahead of it.
void Playlist::add(const QString &text)
{
    const View before = view();
    if (m_selected >= 0)
        m_entries.insert(m_selected, text);
    else
        m_entries.append(text);
    updateEditButtons();
    updatePlayButton();
    finish(before, true);
}

void Playlist::replace(const QString &text)
{
    if (m_selected < 0 || m_entries.at(m_selected) == text)
        return;
    m_entries[m_selected] = text;
    emit changed();
}

// The entry that moves up takes the selection, so repeated deletes walk down the list. A run
// under way finishes its text even when the list empties; its end then stops the list.
void Playlist::remove()
{
    if (m_selected < 0)
        return;
    const View before = view();
    m_entries.removeAt(m_selected);
    m_selected = clampedSelection(m_selected);
    updateEditButtons();
    updatePlayButton();
    finish(before, true);
}

std::optional<QString> Playlist::pick() const
{
    if (m_selected < 0)
        return std::nullopt;
    return m_entries.at(m_selected);
}

// An empty list has nothing to play, so nothing changes; with no entry selected the list plays
// from its first one, which then follows the ticker as any selected entry does.
Playlist::StartResult Playlist::start()
{
    if (m_entries.isEmpty())
        return {};
    const View before = view();
    if (m_selected < 0)
        m_selected = 0;
    m_buttons.stop = true;
    updatePlayButton();
    finish(before, false);
    return {true, m_entries.at(m_selected)};
}

// Moving past the last entry wraps to the first, so the list loops. A list emptied during the
// run has nothing left to play: the ticker stops and the buttons go back to idle.
std::optional<QString> Playlist::advance()
{
    const View before = view();
    const int next = m_selected == count() - 1 ? 0 : m_selected + 1;
    m_selected = clampedSelection(next);
    if (m_selected < 0) {
        m_buttons.stop = false;
        updatePlayButton();
    }
    finish(before, false);
    if (m_selected < 0)
        return std::nullopt;
    return m_entries.at(m_selected);
}

void Playlist::stop()
{
    const View before = view();
    m_buttons.stop = false;
    updatePlayButton();
    finish(before, false);
}
