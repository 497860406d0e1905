#include "qhttp/QHttpTypes.h"

#include <http_parser.h>

#include <cstring>

namespace qhttp {

QByteArray methodName(int method)
{
    if (method < 0 || method >= HttpMethodCount)
        return QByteArray();
    return QByteArray(http_method_str(static_cast<http_method>(method)));
}

QByteArray statusPhrase(int code)
{
    struct Entry {
        int code;
        const char *phrase;
    };
    // The wordings of the widely deployed tables of HTTP/1.1 and WebDAV.
    static const Entry table[] = {
        {100, "Continue"},
        {101, "Switching Protocols"},
        {102, "Processing"},
        {200, "OK"},
        {201, "Created"},
        {202, "Accepted"},
        {203, "Non-Authoritative Information"},
        {204, "No Content"},
        {205, "Reset Content"},
        {206, "Partial Content"},
        {207, "Multi-Status"},
        {300, "Multiple Choices"},
        {301, "Moved Permanently"},
        {302, "Moved Temporarily"},
        {303, "See Other"},
        {304, "Not Modified"},
        {305, "Use Proxy"},
        {307, "Temporary Redirect"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {402, "Payment Required"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {406, "Not Acceptable"},
        {407, "Proxy Authentication Required"},
        {408, "Request Time-out"},
        {409, "Conflict"},
        {410, "Gone"},
        {411, "Length Required"},
        {412, "Precondition Failed"},
        {413, "Request Entity Too Large"},
        {414, "Request-URI Too Large"},
        {415, "Unsupported Media Type"},
        {416, "Requested Range Not Satisfiable"},
        {417, "Expectation Failed"},
        {418, "I\"m a teapot"},
        {422, "Unprocessable Entity"},
        {423, "Locked"},
        {424, "Failed Dependency"},
        {425, "Unordered Collection"},
        {426, "Upgrade Required"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Time-out"},
        {505, "HTTP Version Not Supported"},
        {506, "Variant Also Negotiates"},
        {507, "Insufficient Storage"},
        {509, "Bandwidth Limit Exceeded"},
        {510, "Not Extended"},
    };
    for (const Entry &e : table) {
        if (e.code == code)
            return QByteArray(e.phrase);
    }
    return QByteArray();
}

Backend backendForScheme(const QString &scheme)
{
    return scheme.toLower() == QLatin1String("file") ? ELocalSocket : ETcpSocket;
}

bool headerValueIs(const QByteArray &stored, const char *token)
{
    if (stored.isEmpty())
        return false;
    const size_t n = static_cast<size_t>(stored.size());
    if (std::strlen(token) < n)
        return false;
    return qstrnicmp(stored.constData(), token, static_cast<uint>(n)) == 0;
}

} // namespace qhttp
