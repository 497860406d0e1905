#pragma once
// Log lines in tests: every line written while a capture is alive.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace testsupport {

// Collects every log line while alive (any thread). Standard-library
// locking, which the thread sanitizer understands.
class LogCapture
{
public:
    LogCapture() { instance().store(this), m_previous = qInstallMessageHandler(&LogCapture::handler); }
    ~LogCapture() { qInstallMessageHandler(m_previous), instance().store(nullptr); }

    QStringList lines(bool criticalOnly = false) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return criticalOnly ? m_critical : m_lines;
    }
    QStringList critical() const { return lines(true); }
    bool has(const QString &start, bool criticalOnly = false) const
    {
        const QStringList all = lines(criticalOnly);
        return std::any_of(all.begin(), all.end(), [&start](const QString &l) { return l.startsWith(start); });
    }
    bool hasCritical(const QString &start) const { return has(start, true); }
    int count(const QString &start) const
    {
        const QStringList all = lines();
        return int(std::count_if(all.begin(), all.end(), [&start](const QString &l) { return l.startsWith(start); }));
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
        m_critical.clear();
    }

private:
    static std::atomic<LogCapture *> &instance()
    {
        static std::atomic<LogCapture *> current{nullptr};
        return current;
    }
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &msg)
    {
        if (LogCapture *self = instance().load()) {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_lines.append(msg);
            if (type == QtCriticalMsg)
                self->m_critical.append(msg);
        }
    }

    mutable std::mutex m_mutex;
    QStringList m_lines;
    QStringList m_critical;
    QtMessageHandler m_previous = nullptr;
};

} // namespace testsupport
