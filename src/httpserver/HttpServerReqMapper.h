#pragma once

#include <QObject>

#include <memory>

namespace qhttp {
namespace server {
class QHttpRequest;
class QHttpResponse;
} // namespace server
} // namespace qhttp

namespace vexo {
namespace pc {

class HttpServerReqHandler;

// One per request (a child of the request): collects the body, routes the
// request to the handler when it has ended, and writes the answer.
class HttpServerReqMapper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(HttpServerReqMapper)

public:
    // Bodies above this are cut (the server refuses them earlier anyway).
    static constexpr int MaxBody = 64 * 1024;

    HttpServerReqMapper(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                        std::shared_ptr<const HttpServerReqHandler> handler);

private:
    void route();

    qhttp::server::QHttpRequest *m_req;
    qhttp::server::QHttpResponse *m_res;
    std::shared_ptr<const HttpServerReqHandler> m_handler;
};

} // namespace pc
} // namespace vexo
