#include "ChainTopics.h"

namespace ChainTopics {

namespace {
QString officesPrefix(const QString &chainId)
{
    return QStringLiteral("corvane/%1/offices/").arg(chainId);
}
} // namespace

QString rates(const QString &chainId)
{
    return QStringLiteral("corvane/%1/rates").arg(chainId);
}

QString office(const QString &chainId, const QString &officeId)
{
    return officesPrefix(chainId) + officeId;
}

QString allOffices(const QString &chainId)
{
    return officesPrefix(chainId) + u'+';
}

QString officeOf(const QString &chainId, const QString &topic)
{
    const QString prefix = officesPrefix(chainId);
    if (!topic.startsWith(prefix))
        return {};
    const QString office = topic.mid(prefix.size());
    return office.contains(u'/') ? QString() : office;
}

QString idProblem(const QString &id)
{
    if (id.isEmpty())
        return QStringLiteral("не задан");
    if (id.size() > 60)
        return QStringLiteral("длиннее 60 знаков");
    for (const QChar c : id) {
        if (c == u'/' || c == u'+' || c == u'#' || c.category() == QChar::Other_Control)
            return QStringLiteral("содержит «%1»").arg(c.category() == QChar::Other_Control ? QStringLiteral("управляющий символ") : QString(c));
    }
    return {};
}

} // namespace ChainTopics
