#pragma once

// Waiting in tests: for a condition, never for a fixed time.

#include <QElapsedTimer>
#include <QTest>

#include <functional>

namespace testsupport {

// Processes events until pred holds or timeoutMs passes; pred's last answer.
inline bool waitFor(const std::function<bool()> &pred, int timeoutMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return pred();
        QTest::qWait(2);
    }
    return true;
}

} // namespace testsupport
