#include "qhttp/QHttpHeaderCollector.h"

namespace qhttp {

void QHttpHeaderCollector::reset()
{
    m_headers.clear();
    m_field.clear();
    m_value.clear();
    m_lastWasValue = false;
    m_headBytes = 0;
}

bool QHttpHeaderCollector::count(size_t length)
{
    m_headBytes += static_cast<int>(qMin<size_t>(length, 1 << 30));
    return m_maxHeadSize <= 0 || m_headBytes <= m_maxHeadSize;
}

bool QHttpHeaderCollector::addField(const char *at, size_t length)
{
    if (!count(length))
        return false;
    // A field after a value starts the next header.
    if (m_lastWasValue) {
        commit();
        m_lastWasValue = false;
    }
    m_field.append(at, static_cast<int>(length));
    return true;
}

bool QHttpHeaderCollector::addValue(const char *at, size_t length)
{
    if (!count(length))
        return false;
    m_lastWasValue = true;
    m_value.append(at, static_cast<int>(length));
    return true;
}

Headers QHttpHeaderCollector::take()
{
    commit();
    m_lastWasValue = false;
    Headers done;
    done.swap(m_headers);
    return done;
}

void QHttpHeaderCollector::commit()
{
    if (!m_field.isEmpty())
        m_headers.insert(m_field.toLower(), m_value.toLower());
    m_field.clear();
    m_value.clear();
}

} // namespace qhttp
