#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

using HttpHeaderList = QList<QPair<QByteArray, QByteArray>>;

// The head of an HTTP/1.1 answer, status line to the empty line, for the answers the
// server writes on a connection itself: refusals at the door and heads without a body.
QByteArray httpHead(int status, const HttpHeaderList &headers);
