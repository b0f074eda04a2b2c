#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

using HttpHeaderList = QList<QPair<QByteArray, QByteArray>>;

// The head of an HTTP/1.1 answer, status line to the empty line, for the answers the
// server writes on a connection itself: refusals at the door and heads without a body.
QByteArray httpHead(int status, const HttpHeaderList &headers);

// The policy every answer carries: the page loads nothing from anywhere but here.
QByteArray contentSecurityPolicy();
// The headers every answer carries, whoever writes it.
HttpHeaderList securityHeaders();

// A whole short answer written at the door (a refusal, an oversized head), after which the
// connection closes: its status, the security headers, `extra` and a one-line text.
QByteArray closingAnswer(int status, const QByteArray &text, const HttpHeaderList &extra = {});
