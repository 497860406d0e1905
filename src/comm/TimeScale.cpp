#include "comm/TimeScale.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <atomic>
#include <cmath>

namespace vexo {
namespace pc {

namespace {

double initialFactor()
{
    // Child processes started by tests inherit the factor through the
    // environment. Only lowering is possible.
    bool ok = false;
    const double f = qEnvironmentVariable("ZARVO_TEST_TIME_SCALE").toDouble(&ok);
    return (ok && f > 0.0 && f <= 1.0) ? f : 1.0;
}

std::atomic<double> &factorRef()
{
    static std::atomic<double> f{initialFactor()};
    return f;
}

} // namespace

double TimeScale::factor()
{
    return factorRef().load(std::memory_order_relaxed);
}

void TimeScale::setFactor(double f)
{
    factorRef().store((f > 0.0 && f <= 1.0) ? f : 1.0, std::memory_order_relaxed);
}

int TimeScale::ms(int productionMs)
{
    const double f = factor();
    if (f == 1.0 || productionMs <= 0)
        return productionMs;
    const int scaled = static_cast<int>(std::lround(productionMs * f));
    return scaled < 1 ? 1 : scaled;
}

namespace {
thread_local qint64 t_slept = 0;
} // namespace

void TimeScale::sleep(int productionMs)
{
    const int d = ms(productionMs);
    if (d > 0) {
        QThread::msleep(static_cast<unsigned long>(d));
        t_slept += d;
    }
}

qint64 TimeScale::sleptOnThisThread()
{
    return t_slept;
}

void TimeScale::sleepWhile(const std::atomic<bool> &keepOn, int productionMs)
{
    sleepWhile([&keepOn] { return keepOn.load(); }, productionMs);
}

void TimeScale::sleepWhile(const std::function<bool()> &keepOn, int productionMs)
{
    QElapsedTimer t;
    t.start();
    const int total = ms(productionMs);
    while (keepOn() && t.elapsed() < total)
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(20, total - t.elapsed())));
}

void TimeScale::waitWithEvents(int productionMs)
{
    const int d = ms(productionMs);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < d) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(d - t.elapsed()));
        QThread::msleep(1);
    }
}

} // namespace pc
} // namespace vexo
