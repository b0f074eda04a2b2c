#pragma once

#include <QString>

// The topics of one chain on the broker. The chain's and the office's ids are single topic
// levels: ChainTopics::idProblem names what keeps a typed id from being one.
namespace ChainTopics {

QString rates(const QString &chainId);
QString office(const QString &chainId, const QString &officeId);
// Every office's status, for the head office's list.
QString allOffices(const QString &chainId);
// The office id at the end of an office topic of the chain; empty for any other topic.
QString officeOf(const QString &chainId, const QString &topic);

// Empty when the id can stand as a topic level; otherwise why not, in words for the office.
QString idProblem(const QString &id);

} // namespace ChainTopics
