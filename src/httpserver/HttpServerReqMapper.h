#pragma once

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

// Ties a request to the handler: collects the body, routes the request when
// it has ended, and writes the answer. It keeps no state of its own (the
// connection to the request's end carries what it needs), so a request costs
// no object besides those of the connection.
class HttpServerReqMapper final
{
public:
    // Bodies above this are cut (the server refuses them earlier anyway).
    static constexpr int MaxBody = 64 * 1024;

    static void attach(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                       std::shared_ptr<const HttpServerReqHandler> handler);

private:
    static void route(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res,
                      const HttpServerReqHandler &handler);
};

} // namespace pc
} // namespace vexo
