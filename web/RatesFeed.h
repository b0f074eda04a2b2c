#pragma once

#include "content/RateTable.h"

#include <QByteArray>
#include <QDateTime>

// The rates as the office's web site or a price aggregator reads them: the rows the board
// shows, in board order, with the time of the last change.
QByteArray ratesJson(const QVector<RateRow> &rows, const QDateTime &lastChange);

// A strong entity tag for a response body: the same body gives the same tag.
QByteArray entityTag(const QByteArray &body);

// Whether an If-None-Match header names the tag (a list of tags, or "*").
bool entityTagMatches(const QByteArray &ifNoneMatch, const QByteArray &tag);
