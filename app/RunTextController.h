#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class Playlist;
class TFormMon2;
class TFrameCorvane;

// Runs the playlist on the boards: the TV board's ticker plays the entries one after the
// other, and the preview's bottom line names the one that runs. Both go back to rest when
// the list stops or runs out.
class RunTextController : public QObject
{
    Q_OBJECT
public:
    // The speed is read from the operator's field whenever a run begins.
    using SpeedSource = std::function<int()>;
    RunTextController(Playlist &playlist, TFrameCorvane *preview, SpeedSource speed, QObject *parent = nullptr);

    // The TV board whose ticker plays the list, once it exists.
    void attach(TFormMon2 *tv);

    // Starts the list at its selected entry, when it has one to play.
    void play();
    void stop();
    // The ticker takes the speed at once.
    void speedChanged();

    static QString restingCaption();

private:
    void runBegan(const QString &text);
    void runEnded();
    void rest();

    Playlist &m_playlist;
    TFrameCorvane *m_preview;
    SpeedSource m_speed;
    QPointer<TFormMon2> m_tv;
};
