#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

// Shared vocabulary of the asynchronous HTTP/1.1 layer: methods, status
// phrases, header maps and transport backends.
namespace qhttp {

// Numbering and names follow the parser library underneath, so a parsed
// method converts without a lookup table.
enum HttpMethod {
    EHTTP_DELETE = 0,
    EHTTP_GET = 1,
    EHTTP_HEAD = 2,
    EHTTP_POST = 3,
    EHTTP_PUT = 4,
    EHTTP_CONNECT = 5,
    EHTTP_OPTIONS = 6,
    EHTTP_TRACE = 7,
    EHTTP_COPY = 8,
    EHTTP_LOCK = 9,
    EHTTP_MKCOL = 10,
    EHTTP_MOVE = 11,
    EHTTP_PROPFIND = 12,
    EHTTP_PROPPATCH = 13,
    EHTTP_SEARCH = 14,
    EHTTP_UNLOCK = 15,
    EHTTP_BIND = 16,
    EHTTP_REBIND = 17,
    EHTTP_UNBIND = 18,
    EHTTP_ACL = 19,
    EHTTP_REPORT = 20,
    EHTTP_MKACTIVITY = 21,
    EHTTP_CHECKOUT = 22,
    EHTTP_MERGE = 23,
    EHTTP_MSEARCH = 24,
    EHTTP_NOTIFY = 25,
    EHTTP_SUBSCRIBE = 26,
    EHTTP_UNSUBSCRIBE = 27,
    EHTTP_PATCH = 28,
    EHTTP_PURGE = 29,
    EHTTP_MKCALENDAR = 30,
    EHTTP_LINK = 31,
    EHTTP_UNLINK = 32,
    EHTTP_SOURCE = 33,
};

constexpr int HttpMethodCount = 34;

// Transport under a client or server. Only TCP is provided; the value of the
// local-socket backend is reserved so that the numbering stays stable.
enum Backend {
    ETcpSocket = 0,
    ELocalSocket = 2,
};

// Field names are always lower case; values are lower-cased on receipt.
using Headers = QHash<QByteArray, QByteArray>;

// The request-line token of a method ("GET", "M-SEARCH", ...); empty for a
// number outside the table.
QByteArray methodName(int method);

// Reason phrase of a status code; empty for a code outside the table.
QByteArray statusPhrase(int code);

// Backend chosen by a URL scheme: "file" (any case) selects the local
// socket, everything else TCP.
Backend backendForScheme(const QString &scheme);

// Case-insensitive comparison of a stored header value with a token over the
// stored value's length, as used for "connection: keep-alive".
bool headerValueIs(const QByteArray &stored, const char *token);

} // namespace qhttp
