#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The running-text playlist and the state of its buttons. The operator window only mirrors
// it: the list box shows entries() and selectedIndex(), the buttons the four enabled states,
// so the rules can be driven without any widget. The selected entry is also the position of
// the ticker: a run always continues after whatever is selected when it ends. Play is offered
// only while there is something to play, and Stop only while a run is under way.
class Playlist : public QObject
{
    Q_OBJECT
public:
    struct StartResult
    {
        bool running = false;
        QString text;
    };

    explicit Playlist(QObject *parent = nullptr);

    QStringList entries() const { return m_entries; }
    // One entry without handing out the list; empty when out of range.
    QString entry(int index) const;
    int count() const { return int(m_entries.size()); }
    int selectedIndex() const { return m_selected; }
    QString selectedEntry() const { return entry(m_selected); }

    bool playEnabled() const { return m_buttons.play; }
    bool stopEnabled() const { return m_buttons.stop; }
    bool deleteEnabled() const { return m_buttons.remove; }
    bool replaceEnabled() const { return m_buttons.replace; }

    void select(int index);
    void loadStored(const QStringList &entries);
    void add(const QString &text);
    void replace(const QString &text);
    void remove();
    std::optional<QString> pick() const;
    void open(const QStringList &entries);
    StartResult start();
    std::optional<QString> advance();
    void stop();

signals:
    // The entries, the selection or a button state has changed.
    void changed();

private:
    struct Buttons
    {
        bool play = false;
        bool stop = false;
        bool remove = false;
        bool replace = false;

        friend bool operator==(const Buttons &, const Buttons &) = default;
    };

    // What a change is judged by besides the entries; cheap to copy, unlike the list.
    struct View
    {
        int selected = -1;
        Buttons buttons;

        friend bool operator==(const View &, const View &) = default;
    };

    View view() const { return {m_selected, m_buttons}; }
    // Emits changed() when the entries were touched or the view differs from `before`.
    void finish(const View &before, bool entriesChanged);
    void resetList(const QStringList &entries);
    void updateEditButtons();
    void updatePlayButton();
    int clampedSelection(int index) const;

    QStringList m_entries;
    int m_selected = -1;
    Buttons m_buttons;
};
