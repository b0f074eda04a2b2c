#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Follows the heads of the requests on one connection as their bytes arrive, before Qt's
// parser sees them, so the connection's guard can answer an oversized head or an upgrade
// itself, knows whether a head is half sent, and knows which answers end the connection.
class RequestHeadReader
{
public:
    // The longest request line (method, URL and version): a page's URLs are short.
    static constexpr qsizetype kMaxRequestLine = 8 * 1024;
    // The largest head and the most header lines a browser's request comes near.
    static constexpr qsizetype kMaxHeadBytes = 32 * 1024;
    static constexpr int kMaxHeaderLines = 100;

    enum class Verdict {
        Reading,        // nothing to say: Qt parses the request
        UriTooLong,     // 414
        HeadTooLarge,   // 431
        Upgrade,        // a WebSocket or other protocol switch, which the board does not speak
    };

    // Takes the connection's next bytes.
    Verdict take(QByteArrayView bytes);
    // Part of a head has come but not its end.
    bool isInHead() const { return !m_head.isEmpty(); }
    // Whether the answer to the oldest request not yet answered ends the connection
    // (HTTP/1.0, `Connection: close`, a body the reader cannot follow); forgets it.
    bool takeClosesAfterAnswer();

private:
    Verdict endHead(QByteArrayView head);
    Verdict checkUnfinished() const;

    QByteArray m_head;
    qint64 m_bodyLeft = 0;
    // After a body of unknown length the reader no longer knows where heads begin.
    bool m_lost = false;
    QList<bool> m_closesAfter;
};
