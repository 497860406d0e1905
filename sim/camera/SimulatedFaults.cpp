#include "camera/SimulatedFaults.h"

#include <QDebug>
#include <QStringList>

namespace vexo {
namespace pc {

SimulatedFaults::SimulatedFaults(const QString &text)
{
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &raw : items) {
        const QString item = raw.trimmed();
        int sep = item.indexOf(QLatin1Char('='));
        if (sep < 0)
            sep = item.indexOf(QLatin1Char(':'));
        const QString key = (sep < 0 ? item : item.left(sep)).trimmed().toLower();
        const QString value = sep < 0 ? QStringLiteral("1") : item.mid(sep + 1).trimmed();
        if (key.isEmpty() || value.isEmpty()) {
            qWarning() << "Ignored simulated fault:" << item;
            continue;
        }
        set(key, value);
    }
}

SimulatedFaults SimulatedFaults::fromEnvironment()
{
    return SimulatedFaults(qEnvironmentVariable("ZARVO_SIMULATE_FAULT"));
}

void SimulatedFaults::set(const QString &key, const QString &value)
{
    values_.insert(key, value);
    if (key == QLatin1String("seed"))
        random_.seed(std::mt19937::result_type(integer(key, 1)));
}

int SimulatedFaults::integer(const QString &key, int fallback) const
{
    bool ok = false;
    const int v = values_.value(key).toInt(&ok);
    return ok ? v : fallback;
}

double SimulatedFaults::percent(const QString &key) const
{
    QString text = values_.value(key);
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? qBound(0.0, v, 100.0) : 0.0;
}

quint32 SimulatedFaults::next()
{
    return quint32(random_());
}

bool SimulatedFaults::roll(const QString &key)
{
    const double p = percent(key);
    if (p <= 0.0)
        return false;
    return double(next() % 1000000u) < p * 10000.0;
}

} // namespace pc
} // namespace vexo
