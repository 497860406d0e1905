#include "httpserver/HttpServerReqMapper.h"

#include "httpserver/HttpFileSender.h"
#include "httpserver/HttpServerReqHandler.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

namespace vexo {
namespace pc {

HttpServerReqMapper::HttpServerReqMapper(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                                         std::shared_ptr<const HttpServerReqHandler> handler)
    : QObject(req)
    , m_req(req)
    , m_res(res)
    , m_handler(std::move(handler))
{
    m_req->collectBody(MaxBody);
    connect(m_req, &qhttp::server::QHttpRequest::end, this, &HttpServerReqMapper::route);
}

void HttpServerReqMapper::route()
{
    const HttpServerReqHandler::Answer a = m_handler->handle(m_req->method(), m_req->url(), m_req->collectedBody());
    m_res->setStatus(a.status);
    if (!a.contentType.isEmpty())
        m_res->putHeader(QByteArrayLiteral("content-type"), a.contentType);
    // A client that asks to keep the connection (a camera fetching several
    // things, a benchmark) may keep it.
    if (qhttp::headerValueIs(m_req->headers().value(QByteArrayLiteral("connection")), "keep-alive"))
        m_res->putHeader(QByteArrayLiteral("connection"), QByteArrayLiteral("keep-alive"));
    if (a.filePath.isEmpty()) {
        m_res->end(a.body);
        return;
    }
    if (!HttpFileSender::send(m_res, a.filePath))
        m_res->end(); // the file could not be opened: an answer without body
}

} // namespace pc
} // namespace vexo
