#include "RunTextController.h"

#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/Playlist.h"
#include "controls/Label3D.h"

RunTextController::RunTextController(Playlist &playlist, TFrameCorvane *preview, SpeedSource speed, QObject *parent)
    : QObject(parent)
    , m_playlist(playlist)
    , m_preview(preview)
    , m_speed(std::move(speed))
{
}

QString RunTextController::restingCaption()
{
    return QStringLiteral("БЕГУЩАЯ СТРОКА");
}

void RunTextController::attach(TFormMon2 *tv)
{
    m_tv = tv;
    if (!tv)
        return;
    connect(tv, &TFormMon2::runBegan, this, &RunTextController::runBegan);
    connect(tv, &TFormMon2::runEnded, this, &RunTextController::runEnded);
}

void RunTextController::play()
{
    const Playlist::StartResult result = m_playlist.start();
    if (result.running && m_tv)
        m_tv->startTicker(result.text);
}

void RunTextController::stop()
{
    m_playlist.stop();
    rest();
}

void RunTextController::speedChanged()
{
    if (m_tv)
        m_tv->setTickerStep(m_speed());
}

// The preview's bottom line shows the text that runs on the TV board.
void RunTextController::runBegan(const QString &text)
{
    m_preview->LabelBot->setCaption(text);
    speedChanged();
}

// A list emptied during the run has stopped itself; the boards follow.
void RunTextController::runEnded()
{
    const std::optional<QString> next = m_playlist.advance();
    if (!next)
        rest();
    else if (m_tv)
        m_tv->runNext(*next);
}

void RunTextController::rest()
{
    m_preview->LabelBot->setCaption(restingCaption());
    if (m_tv)
        m_tv->stopTicker();
}
