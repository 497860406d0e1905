#include "qhttp/QHttpClientResponse.h"

namespace qhttp {
namespace client {

QHttpResponse::QHttpResponse(QObject *parent)
    : QHttpAbstractInput(parent)
{
}

QHttpResponse::~QHttpResponse() = default;

} // namespace client
} // namespace qhttp
