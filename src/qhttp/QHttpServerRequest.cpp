#include "qhttp/QHttpServerRequest.h"

#include "qhttp/QHttpConnection.h"

namespace qhttp {
namespace server {

QHttpRequest::QHttpRequest(QHttpConnection *connection)
    : QHttpAbstractInput(connection)
    , m_connection(connection)
{
}

QHttpRequest::~QHttpRequest() = default;

} // namespace server
} // namespace qhttp
