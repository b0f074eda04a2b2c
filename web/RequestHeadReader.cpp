#include "RequestHeadReader.h"

#include <QList>

namespace {

QByteArrayView headerValue(QByteArrayView line, QByteArrayView name)
{
    if (line.size() <= name.size() || line.at(name.size()) != ':'
        || line.first(name.size()).compare(name, Qt::CaseInsensitive) != 0)
        return {};
    return line.sliced(name.size() + 1).trimmed();
}

bool hasToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArray &part : list.toByteArray().split(','))
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

RequestHeadReader::Verdict RequestHeadReader::take(QByteArrayView bytes)
{
    QByteArray pending = bytes.toByteArray();
    while (!pending.isEmpty() && !m_lost) {
        if (m_bodyLeft > 0) {
            const qsizetype skipped = qsizetype(std::min<qint64>(m_bodyLeft, pending.size()));
            m_bodyLeft -= skipped;
            pending.remove(0, skipped);
            continue;
        }
        // Empty lines between requests are allowed and belong to no head.
        qsizetype blank = 0;
        while (m_head.isEmpty() && blank < pending.size() && (pending.at(blank) == '\r' || pending.at(blank) == '\n'))
            ++blank;
        pending.remove(0, blank);
        if (pending.isEmpty())
            break;
        const qsizetype searchFrom = std::max<qsizetype>(0, m_head.size() - 3);
        m_head += pending;
        const qsizetype end = m_head.indexOf("\r\n\r\n", searchFrom);
        if (end < 0)
            return checkUnfinished();
        pending = m_head.mid(end + 4);
        const QByteArray head = m_head.left(end);
        m_head.clear();
        if (const Verdict verdict = endHead(head); verdict != Verdict::Reading)
            return verdict;
    }
    return Verdict::Reading;
}

RequestHeadReader::Verdict RequestHeadReader::checkUnfinished() const
{
    const qsizetype lineEnd = m_head.indexOf("\r\n");
    if ((lineEnd < 0 ? m_head.size() : lineEnd) > kMaxRequestLine)
        return Verdict::UriTooLong;
    if (m_head.size() > kMaxHeadBytes || m_head.count("\r\n") > kMaxHeaderLines)
        return Verdict::HeadTooLarge;
    return Verdict::Reading;
}

RequestHeadReader::Verdict RequestHeadReader::endHead(QByteArrayView head)
{
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    const QByteArray requestLine = lines.first().trimmed();
    if (requestLine.size() > kMaxRequestLine)
        return Verdict::UriTooLong;
    if (head.size() > kMaxHeadBytes || lines.size() - 1 > kMaxHeaderLines)
        return Verdict::HeadTooLarge;
    bool closes = !requestLine.endsWith("HTTP/1.1");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = QByteArrayView(lines.at(i)).trimmed();
        if (!headerValue(line, "Upgrade").isEmpty())
            return Verdict::Upgrade;
        if (const QByteArrayView connection = headerValue(line, "Connection"); !connection.isEmpty())
            closes = closes || hasToken(connection, "close");
        if (const QByteArrayView length = headerValue(line, "Content-Length"); !length.isEmpty())
            m_bodyLeft = std::max<qint64>(0, length.toLongLong());
        if (!headerValue(line, "Transfer-Encoding").isEmpty()) {
            m_lost = true;
            closes = true;
        }
    }
    m_closesAfter.append(closes);
    return Verdict::Reading;
}

bool RequestHeadReader::takeClosesAfterAnswer()
{
    return m_closesAfter.isEmpty() ? false : m_closesAfter.takeFirst();
}
