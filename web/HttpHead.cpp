#include "HttpHead.h"

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return status < 400 ? "OK" : status < 500 ? "Client Error" : "Server Error";
    }
}

} // namespace

QByteArray httpHead(int status, const HttpHeaderList &headers)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto &[name, value] : headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
}

QByteArray contentSecurityPolicy()
{
    return QByteArrayLiteral("default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                             "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
}

HttpHeaderList securityHeaders()
{
    return {{"Content-Security-Policy", contentSecurityPolicy()},
            {"X-Content-Type-Options", "nosniff"},
            {"Referrer-Policy", "no-referrer"}};
}

QByteArray closingAnswer(int status, const QByteArray &text, const HttpHeaderList &extra)
{
    const QByteArray body = text + '\n';
    HttpHeaderList headers{{"Content-Type", "text/plain; charset=utf-8"},
                           {"Content-Length", QByteArray::number(body.size())},
                           {"Cache-Control", "no-store"},
                           {"Connection", "close"}};
    headers += securityHeaders();
    headers += extra;
    return httpHead(status, headers) + body;
}
