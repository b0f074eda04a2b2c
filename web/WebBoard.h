#pragma once

#include "BoardSnapshot.h"
#include "DrawingBudget.h"
#include "EventStream.h"
#include "WebBoardServer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QTimer>
#include <functional>
#include <memory>

class ConnectionGuard;
class TFrameCorvane;
class BoardContent;
class TRunString;

// The board for browsers on the office network: serves a page that shows the board as the
// TV board would look on a screen of the browser's shape, with the running text over its
// bottom band, tells every open page of each change, and serves the rates as JSON. It
// follows one board (the TV's) and its ticker, and takes the rates from the board's
// content; it never changes anything.
class WebBoard : public QObject, private WebBoardContent
{
    Q_OBJECT
public:
    WebBoard(const TFrameCorvane *followed, const TRunString *ticker, const BoardContent &content,
             QObject *parent = nullptr);
    ~WebBoard() override;

    bool isListening() const { return m_server != nullptr; }
    quint16 port() const;
    int listenerCount() const { return m_events.listenerCount(); }
    // The open pages' stream, for its keep-alive.
    EventStream &eventStream() { return m_events; }
    int connectionCount() const;
    // The door of the open port, with its bounds on connections; null while closed.
    ConnectionGuard *connectionGuard() const;
    // The text of the run the pages were told of last.
    QString tickerText() const { return m_run.text; }

    // How often a page's board is compared with the followed one while pages listen; changes
    // the program announces are passed on at once.
    static constexpr int kFollowMs = 400;
    // Pictures are drawn on the operator window's thread, so pages get so many fresh ones a
    // second at most, however many sizes they ask for, and no more than so much of the
    // window's time a second, however long each takes.
    static constexpr int kFreshPicturesPerSecond = 8;
    static constexpr int kDrawingMsPerSecond = 150;
    // Pictures being packed at once at most: each holds its drawing until it is packed.
    static constexpr int kPackingAtOnce = 2;
    // Milliseconds on a steady clock; tests give one that stands still.
    using Clock = std::function<qint64()>;
    // The clock of the rations and of the connections' time limits.
    void setClock(Clock clock);
    // Who may connect, from now on.
    void setAllowed(const AddressAllowList &allowed);

public slots:
    // Opens the port (closing one open before); tells listening() or failed().
    void start(quint16 port);
    // Closes the port and lets every page go; tells stopped().
    void stop();
    // Something the board shows may have changed: the pages hear of it if it has.
    void boardMayHaveChanged();
    // The ticker began a run of the text, `fraction` of the way through, a run lasting runMs.
    void tickerRunning(const QString &text, double fraction, int runMs);
    void tickerStopped();
    // Compares the followed ticker with what the pages were told and tells them if it differs.
    void followTicker();

signals:
    void listening(quint16 port);
    void failed(const QString &message);
    void stopped();

private:
    Reply get(const QByteArray &path, const QUrlQuery &query, const QByteArray &ifNoneMatch) override;
    QByteArray greeting() override;
    Reply boardLayout(QSize size);
    Reply boardPicture(QSize size, const QByteArray &version);
    static Reply pictureReply(const QByteArray &png, const QByteArray &shows, const QByteArray &version);
    void drawAndPackOffThread(QSize size);
    std::shared_ptr<QPromise<QByteArray>> awaitPacking(const QByteArray &key,
                                                       std::function<void(const QByteArray &)> keep);
    static void packOffThread(const std::shared_ptr<QPromise<QByteArray>> &packing, std::function<QImage()> draw);
    // Runs `take` (which lays out or copies the board) as a drawing: counted against the
    // window thread's budget, and no page is laid out meanwhile.
    template <typename Take>
    auto timedDrawing(Take take)
    {
        const qint64 began = m_clock();
        m_drawing = true;
        auto taken = take();
        m_drawing = false;
        const qint64 ended = m_clock();
        m_drawingBudget.spend(ended - began, ended);
        return taken;
    }
    QByteArray packingKey(QSize size) const;
    Reply pictureBeingPacked(QSize size, const QByteArray &version);
    Reply tickerPicture(QSize size);
    Reply rates(const QByteArray &ifNoneMatch);
    QByteArray boardEvent() const;
    QByteArray tickerEvent() const;
    void followSoon();
    bool mayDrawAfresh();
    Reply busyDrawing();
    QByteArray tickerStripKey(QSize size) const;

    const TFrameCorvane *m_followed;
    const BoardContent &m_content;
    QPointer<const TRunString> m_ticker;
    BoardSnapshot m_snapshot;
    EventStream m_events;
    std::unique_ptr<WebBoardServer> m_server;
    QByteArray m_announcedKey;
    QTimer m_follow;
    QTimer m_soon;
    QDateTime m_ratesChanged;
    QElapsedTimer m_steady;
    Clock m_clock;
    AddressAllowList m_allowed;
    qint64 m_drawingSecond = -1;
    int m_drawnThisSecond = 0;
    DrawingBudget m_drawingBudget{kDrawingMsPerSecond};
    // The ticker's strips as PNG, each drawn once for its text, look and size.
    QHash<QByteArray, QByteArray> m_tickerStrips;
    // The pictures being packed off the window's thread, by size and board state: a page
    // asking for one of them waits for it instead of drawing it again.
    QHash<QByteArray, QFuture<QByteArray>> m_packing;
    // The snapshot is being laid out or drawn (events, requests among them, run meanwhile).
    bool m_drawing = false;

    struct Run
    {
        bool running = false;
        int id = 0;
        QString text;
        double fraction = 0;
        int runMs = 0;
        QElapsedTimer since;
    } m_run;
};
