#pragma once

// One seeded source of damage for the fuzz tests: the same seed gives the
// same cases on every machine, so a failure can be replayed.

#include <QByteArray>
#include <QList>

#include <random>

namespace testsupport {

class SeededMutator
{
public:
    explicit SeededMutator(quint32 seed)
        : m_rng(seed)
    {
    }

    quint32 next() { return quint32(m_rng()); }
    // A number in [0, n); 0 when n is not positive.
    int below(int n) { return n <= 0 ? 0 : int(m_rng() % quint32(n)); }
    bool oneIn(int n) { return below(n) == 0; }

    // A 32-bit value that tends to sit on a boundary: 0, 1, powers of two
    // and their neighbours, all-ones, or near `near`.
    quint32 edgeValue(quint32 near)
    {
        static const quint32 edges[] = {0, 1, 2, 255, 256, 257, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFF00};
        switch (below(3)) {
        case 0:
            return next();
        case 1:
            return edges[below(int(sizeof(edges) / sizeof(edges[0])))];
        default:
            return near + quint32(below(5)) - 2;
        }
    }

    QByteArray randomBytes(int count)
    {
        QByteArray b(count, '\0');
        for (char &c : b)
            c = char(m_rng());
        return b;
    }

    // One to six rounds of byte-level damage to one member of the corpus:
    // flipped bits, inserted separators and digits, deleted, duplicated or
    // spliced ranges, truncation, huge numbers, long runs, random bytes.
    QByteArray mutate(const QList<QByteArray> &corpus)
    {
        QByteArray d = corpus.at(below(corpus.size()));
        const int rounds = 1 + below(6);
        for (int r = 0; r < rounds; ++r) {
            if (d.isEmpty())
                d = corpus.at(below(corpus.size()));
            const int at = below(d.size());
            switch (below(9)) {
            case 0:
                d[at] = char(d.at(at) ^ char(1 << below(8)));
                break;
            case 1: {
                static const char interesting[] = "\r\n:; \t0123456789abcdefXZ%/\\.\x00\x7f\xff";
                d.insert(at, interesting[below(sizeof(interesting) - 1)]);
                break;
            }
            case 2:
                d.remove(at, 1 + below(8));
                break;
            case 3:
                d.insert(at, d.mid(at, 1 + below(32)));
                break;
            case 4:
                d.truncate(at);
                break;
            case 5: {
                static const char *const numbers[] = {"99999999999999999999", "-1", "0", "18446744073709551615", "7fffffff", "ffffffffffffffff"};
                d.insert(at, numbers[below(6)]);
                break;
            }
            case 6:
                d.insert(at, corpus.at(below(corpus.size())).mid(below(40)));
                break;
            case 7:
                d.insert(at, QByteArray(1 + below(20000), char('A' + below(26))));
                break;
            default:
                for (int i = 0, n = 1 + below(16); i < n; ++i)
                    d.insert(below(d.size() + 1), char(m_rng()));
                break;
            }
        }
        return d;
    }

private:
    std::mt19937 m_rng;
};

} // namespace testsupport
