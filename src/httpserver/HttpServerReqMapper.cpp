#include "httpserver/HttpServerReqMapper.h"

#include "httpserver/HttpFileSender.h"
#include "httpserver/HttpServerReqHandler.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

namespace vexo {
namespace pc {

void HttpServerReqMapper::attach(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                                 std::shared_ptr<const HttpServerReqHandler> handler)
{
    // Only progress reports have a body worth keeping.
    if (req->method() == qhttp::EHTTP_POST)
        req->collectBody(MaxBody);
    // The response lives as long as the request (both go with the next
    // request or the connection), so the request's end may use it.
    QObject::connect(req, &qhttp::server::QHttpRequest::end, req,
                     [req, res, handler = std::move(handler)]() { route(req, res, *handler); });
}

void HttpServerReqMapper::route(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                                const HttpServerReqHandler &handler)
{
    const HttpServerReqHandler::Answer a = handler.handle(req->method(), req->url(), req->collectedBody());
    res->setStatus(a.status);
    if (!a.contentType.isEmpty())
        res->putHeader(QByteArrayLiteral("content-type"), a.contentType);
    // A client that asks to keep the connection (a camera fetching several
    // things, a benchmark) may keep it.
    if (qhttp::headerValueIs(req->headers().value(QByteArrayLiteral("connection")), "keep-alive"))
        res->putHeader(QByteArrayLiteral("connection"), QByteArrayLiteral("keep-alive"));
    if (a.filePath.isEmpty()) {
        res->end(a.body);
        return;
    }
    if (!HttpFileSender::send(res, a.filePath))
        res->end(); // the file could not be opened: an answer without body
}

} // namespace pc
} // namespace vexo
