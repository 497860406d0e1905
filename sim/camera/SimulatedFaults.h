#pragma once

#include <QHash>
#include <QString>

#include <random>

namespace vexo {
namespace pc {

// Faults a virtual camera is told to show, from a text such as
//     drop=5%,damage=1%,seed=7,unplug-after-blocks=400
// (the ZARVO_SIMULATE_FAULT variable, or a test). Items are separated by
// commas; each is key=value, key:value or a bare key (value "1"). Percent
// values may carry a "%". Unknown keys are kept: each part of the camera
// model reads the keys it knows.
//
// Keys of the picture transfers:
//   drop=P%            a piece is lost on its way (either direction)
//   damage=P%          a piece arrives with a wrong checksum
//   seed=N             start of the random sequence (default 1)
//   unplug-after-blocks=N   the camera is unplugged after N transfer blocks
//   stall-after-blocks=N    after N transfer blocks no piece gets through
//   fail-data-reads=N  the next N data reads of a download fail
//   garbage-info       the download info block carries random values
// Of the message channel: mute-after=N (silent after N frames).
//
// Not thread safe: the owner guards it.
class SimulatedFaults final
{
public:
    SimulatedFaults() = default;
    // Parses text; malformed items are logged and left out.
    explicit SimulatedFaults(const QString &text);

    // The faults named by ZARVO_SIMULATE_FAULT.
    static SimulatedFaults fromEnvironment();

    bool isEmpty() const { return values_.isEmpty(); }
    bool has(const QString &key) const { return values_.contains(key); }
    QString value(const QString &key) const { return values_.value(key); }
    // A whole number (fallback when missing or not a number).
    int integer(const QString &key, int fallback = -1) const;
    // A percentage 0..100 (0 when missing).
    double percent(const QString &key) const;
    void set(const QString &key, const QString &value);
    void remove(const QString &key) { values_.remove(key); }

    // True with the percentage of key, drawn from the seeded sequence.
    bool roll(const QString &key);
    // The next value of the seeded sequence.
    quint32 next();

private:
    QHash<QString, QString> values_;
    std::mt19937 random_{1};
};

} // namespace pc
} // namespace vexo
