// Patch-list generation and the compressed container against the stock
// tools, measured in the same run on the same data.
//
//  1. Patch lists of firmware-like pairs: "zarvoctl fw patchlist" (all
//     cores, and one thread, which must give the same bytes) against
//     Debian's bsdiff on the same pieces, one after the other and two at a
//     time. bsdiff writes another file format (three bzip2 streams), so
//     only time and size are compared. Every piece of our list is rebuilt
//     with the tests' independent applier. The pairs:
//       - a generated 32 MiB package and its next revision (four pieces);
//       - real compiled code: two releases of Debian binaries laid out as
//         a camera fills the new layout (scripts/bench-debian-pair.sh);
//       - real compiled code: this project's programs built at two fixed
//         commits (scripts/bench-own-pair.sh), when that build is possible
//         here.
//  2. "zarvoctl fw compress" against "xz --format=raw --lzma2=preset=5" on
//     the new package's patch head and on its first 8 MiB.
//
// Prints figures and ratios; never fails on timing.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include "PackageTestSupport.h"

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

struct Run
{
    bool ok = false;
    qint64 ms = 0;    // wall time
    qint64 cpuMs = 0; // user + system time of the child processes
};

// CPU time of all finished child processes so far. On a machine shared
// with other work the wall time says little; the CPU time does not depend
// on the load.
qint64 childCpuMs()
{
    struct rusage ru;
    if (getrusage(RUSAGE_CHILDREN, &ru) != 0)
        return 0;
    return qint64(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000
           + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1000;
}

// Runs a program and times it; with peakKiB, also follows its peak resident
// memory until it ends.
Run runTimed(const QString &program, const QStringList &args, QByteArray *stdOut = nullptr,
             qint64 *peakKiB = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer t;
    const qint64 cpu0 = childCpuMs();
    t.start();
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    if (peakKiB) {
        *peakKiB = 0;
        const QString status = QStringLiteral("/proc/%1/status").arg(p.processId());
        while (!p.waitForFinished(20)) {
            QFile f(status);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : f.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    *peakKiB = std::max(*peakKiB, line.mid(6).trimmed().split(' ').value(0).toLongLong());
        }
    } else {
        p.waitForFinished(-1);
    }
    r.ms = t.elapsed();
    r.cpuMs = childCpuMs() - cpu0;
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (stdOut)
        *stdOut = p.readAllStandardOutput();
    if (!r.ok)
        out() << "  (" << QFileInfo(program).fileName() << " failed: "
              << p.readAllStandardError().trimmed() << ")\n";
    return r;
}

// Runs several commands at once and times the whole batch.
Run runBatch(const QString &program, const QList<QStringList> &argLists)
{
    QElapsedTimer t;
    const qint64 cpu0 = childCpuMs();
    t.start();
    QList<QProcess *> procs;
    for (const QStringList &args : argLists) {
        auto *p = new QProcess;
        p->start(program, args);
        procs.append(p);
    }
    Run r;
    r.ok = true;
    for (QProcess *p : procs) {
        p->waitForFinished(-1);
        r.ok = r.ok && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        delete p;
    }
    r.ms = t.elapsed();
    r.cpuMs = childCpuMs() - cpu0;
    return r;
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size();
}

bool splitFile(const QString &path, qint64 pieceSize, const QString &prefix, int pieces)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    for (int i = 0; i < pieces; ++i) {
        QFile o(prefix + QString::number(i));
        if (!o.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray data = f.read(pieceSize);
        if (o.write(data) != data.size())
            return false;
    }
    return true;
}

quint32 le32(const QByteArray &b, int off)
{
    const auto *p = reinterpret_cast<const quint8 *>(b.constData()) + off;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// Sum of the patch sizes in a bspt list (without its own header and entries).
qint64 patchBytesInList(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray list = f.readAll();
    if (list.size() < 64 || !list.startsWith("bspt"))
        return -1;
    const quint32 count = le32(list, 12);
    qint64 sum = 0;
    for (quint32 i = 0; i < count && 64 * (i + 2) <= quint32(list.size()); ++i)
        sum += le32(list, int(64 * (i + 1) + 8));
    return sum;
}

QString ratio(double a, double b)
{
    return b > 0 ? QString::number(a / b, 'f', 2) : QStringLiteral("n/a");
}

QString pct(double a, double b)
{
    return b > 0 ? QString::number((a / b - 1.0) * 100.0, 'f', 2) + QLatin1Char('%')
                 : QStringLiteral("n/a");
}


// Piece ends of a patch list: every 8 MiB before each split offset, then
// the split offset itself.
QList<qint64> pieceEnds(const QList<qint64> &splits)
{
    QList<qint64> ends;
    qint64 pos = 0;
    for (const qint64 s : splits) {
        while (pos + 8 * 1024 * 1024 < s) {
            pos += 8 * 1024 * 1024;
            ends.append(pos);
        }
        ends.append(s);
        pos = s;
    }
    return ends;
}

// One pair: our patch list against Debian's bsdiff on the same pieces.
void comparePair(const QString &label, const QString &oldPath, const QString &newPath,
                 const QList<qint64> &splits, const QString &zarvoctl, const QString &bsdiff,
                 const QString &dir)
{
    const QList<qint64> ends = pieceEnds(splits);
    out() << "\n" << label << ": " << fileSize(newPath) / 1024 << " KiB, " << ends.size() << " pieces\n";
    out().flush();
    QStringList splitArgs;
    for (const qint64 s : splits)
        splitArgs << QString::number(s);
    const QString list = dir + QStringLiteral("/list.bin");
    const QString listSerial = dir + QStringLiteral("/list1.bin");
    qint64 peakKiB = 0;
    const Run ours = runTimed(zarvoctl, QStringList{QStringLiteral("fw"), QStringLiteral("patchlist"), oldPath,
                                                    newPath, list} + splitArgs, nullptr, &peakKiB);
    const Run serial = runTimed(zarvoctl, QStringList{QStringLiteral("fw"), QStringLiteral("patchlist"), oldPath,
                                                      newPath, listSerial} + splitArgs
                                              + QStringList{QStringLiteral("--threads"), QStringLiteral("1")});
    if (!ours.ok || !serial.ok) {
        out() << "  our patch list failed\n";
        return;
    }
    const QByteArray listBytes = pkgtest::readFile(list);
    const QByteArray oldData = pkgtest::readFile(oldPath);
    const QByteArray newData = pkgtest::readFile(newPath);
    std::vector<pkgtest::ListEntry> entries;
    int rebuilt = 0;
    if (pkgtest::readPatchList(listBytes, &entries)) {
        for (const pkgtest::ListEntry &e : entries) {
            QByteArray piece;
            if (pkgtest::applyPatch(oldData.mid(int(e.start), int(e.length)),
                                    listBytes.mid(int(e.offset), int(e.size)), &piece)
                && piece == newData.mid(int(e.start), int(e.length)))
                ++rebuilt;
        }
    }
    const qint64 oursPatches = patchBytesInList(list);
    out() << "  zarvoctl fw patchlist, all cores: " << ours.ms << " ms wall, " << ours.cpuMs << " ms CPU, patches "
          << oursPatches << " bytes, peak memory " << peakKiB / 1024 << " MiB (old + new data: "
          << (oldData.size() + newData.size()) / (1024 * 1024) << " MiB)\n";
    out() << "  zarvoctl fw patchlist, 1 thread:  " << serial.ms << " ms wall, "
          << (pkgtest::readFile(listSerial) == listBytes ? "same bytes" : "DIFFERENT BYTES") << "; "
          << rebuilt << " of " << ends.size() << " pieces rebuilt by the tests' applier\n";
    out().flush();
    if (bsdiff.isEmpty()) {
        out() << "  bsdiff not installed: comparison skipped\n";
        return;
    }
    QList<QStringList> jobs;
    qint64 start = 0;
    for (int i = 0; i < ends.size(); ++i) {
        const QString o = dir + QStringLiteral("/o%1").arg(i);
        const QString n = dir + QStringLiteral("/n%1").arg(i);
        if (!pkgtest::writeFile(o, oldData.mid(int(start), int(ends.at(i) - start)))
            || !pkgtest::writeFile(n, newData.mid(int(start), int(ends.at(i) - start)))) {
            out() << "  cannot write the pieces\n";
            return;
        }
        jobs.append({o, n, dir + QStringLiteral("/p%1").arg(i)});
        start = ends.at(i);
    }
    Run theirsSerial;
    theirsSerial.ok = true;
    for (const QStringList &job : jobs) {
        const Run r = runTimed(bsdiff, job);
        theirsSerial.ok = theirsSerial.ok && r.ok;
        theirsSerial.ms += r.ms;
        theirsSerial.cpuMs += r.cpuMs;
    }
    qint64 theirs = 0;
    for (int i = 0; i < jobs.size(); ++i)
        theirs += fileSize(dir + QStringLiteral("/p%1").arg(i));
    qint64 twoAtATime = 0;
    for (int i = 0; i < jobs.size(); i += 2)
        twoAtATime += runBatch(bsdiff, jobs.mid(i, 2)).ms;
    for (const QStringList &job : jobs)
        for (const QString &f : job)
            QFile::remove(f);
    out() << "  Debian bsdiff, one piece after another: " << theirsSerial.ms << " ms wall, " << theirsSerial.cpuMs
          << " ms CPU, patches " << theirs << " bytes\n";
    out() << "  Debian bsdiff, two pieces at a time:    " << twoAtATime << " ms wall\n";
    out() << "  speed-up vs bsdiff one after another: " << ratio(double(theirsSerial.ms), double(ours.ms))
          << "x wall, " << ratio(double(theirsSerial.cpuMs), double(ours.cpuMs)) << "x CPU; vs two at a time: "
          << ratio(double(twoAtATime), double(ours.ms)) << "x wall\n";
    out() << "  patch size vs bsdiff: " << ratio(double(oursPatches), double(theirs)) << "x ("
          << pct(double(oursPatches), double(theirs)) << ")\n";
    out().flush();
}

// The split offsets a pair script wrote, one per line.
QList<qint64> readSplits(const QString &path)
{
    QList<qint64> splits;
    for (const QByteArray &line : pkgtest::readFile(path).split('\n'))
        if (!line.trimmed().isEmpty())
            splits.append(line.trimmed().toLongLong());
    return splits;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString zarvoctl = QStringLiteral(ZARVOCTL_PATH);
    const QString bsdiff = QStandardPaths::findExecutable(QStringLiteral("bsdiff"));
    const QString xz = QStandardPaths::findExecutable(QStringLiteral("xz"));
    QTemporaryDir tmp;
    if (!tmp.isValid() || !QFileInfo::exists(zarvoctl)) {
        out() << "bench_package: no temporary directory or no zarvoctl at " << zarvoctl << "\n";
        return 0;
    }
    const QString dir = tmp.path();
    const QString oldPkg = dir + QStringLiteral("/old.bin");
    const QString newPkg = dir + QStringLiteral("/Kavora_zarvo_OA_E_SSC336Q_1.0.4.0_release.bin");
    const qint64 piece = 8 * 1024 * 1024;

    out() << "Patch lists against Debian's bsdiff (" << QThread::idealThreadCount() << " cores)\n";
    out().flush();
    if (!runTimed(zarvoctl, {QStringLiteral("fw"), QStringLiteral("build"), oldPkg,
                             QStringLiteral("--size"), QStringLiteral("32M"), QStringLiteral("--seed"),
                             QStringLiteral("9"), QStringLiteral("--version"), QStringLiteral("1.0.3.0")})
             .ok
        || !runTimed(zarvoctl, {QStringLiteral("fw"), QStringLiteral("build"), newPkg,
                                QStringLiteral("--size"), QStringLiteral("32M"), QStringLiteral("--seed"),
                                QStringLiteral("9"), QStringLiteral("--revision"), QStringLiteral("1"),
                                QStringLiteral("--version"), QStringLiteral("1.0.4.0")})
                .ok) {
        out() << "  could not build the packages\n";
        return 0;
    }
    comparePair(QStringLiteral("Generated firmware-like pair"), oldPkg, newPkg, {32 * 1024 * 1024}, zarvoctl,
                bsdiff, dir);

    // Pairs of real compiled code, made by scripts into a directory that
    // outlives the run (the first run fetches or builds what they need).
    const QString data = QStringLiteral(BENCH_DATA_DIR);
    const QString scripts = QStringLiteral(SCRIPTS_DIR);
    const struct { const char *label; const char *script; const char *sub; } pairs[] = {
        {"Compiled code, two Debian releases (libc6, libssl3, git, perl-base)", "bench-debian-pair.sh", "debian"},
        {"Compiled code, this project's programs at two commits", "bench-own-pair.sh", "own"},
    };
    for (const auto &pair : pairs) {
        const QString pairDir = data + QLatin1Char('/') + QLatin1String(pair.sub);
        const Run made = runTimed(QStringLiteral("sh"), {scripts + QLatin1Char('/') + QLatin1String(pair.script), pairDir});
        if (!made.ok) {
            out() << "\n" << pair.label << ": pair not available here (" << pair.script << " failed)\n";
            continue;
        }
        comparePair(QLatin1String(pair.label), pairDir + QStringLiteral("/old.bin"), pairDir + QStringLiteral("/new.bin"),
                    readSplits(pairDir + QStringLiteral("/splits")), zarvoctl, bsdiff, dir);
    }
    out().flush();

    out() << "\nCompressed container against xz --format=raw --lzma2=preset=5\n";
    const QString head = dir + QStringLiteral("/fwheader.bin");
    runTimed(zarvoctl, {QStringLiteral("fw"), QStringLiteral("head"), newPkg, head});
    const QString firstPiece = dir + QStringLiteral("/first0");
    splitFile(newPkg, piece, dir + QStringLiteral("/first"), 1);
    for (const QString &input : {head, firstPiece}) {
        if (!QFileInfo::exists(input))
            continue;
        const QString container = input + QStringLiteral(".lzma");
        const Run mine = runTimed(zarvoctl, {QStringLiteral("fw"), QStringLiteral("compress"),
                                             input, container});
        out() << "  " << QFileInfo(input).fileName() << " (" << fileSize(input) << " bytes)\n";
        out() << "    zarvoctl fw compress: " << mine.ms << " ms (" << mine.cpuMs << " ms CPU), "
              << fileSize(container)
              << " bytes (9-byte header included)\n";
        if (xz.isEmpty()) {
            out() << "    xz not installed: comparison skipped\n";
            continue;
        }
        QByteArray raw;
        const Run ref = runTimed(xz, {QStringLiteral("--format=raw"),
                                      QStringLiteral("--lzma2=preset=5"), QStringLiteral("-c"),
                                      input},
                                 &raw);
        out() << "    xz raw preset 5:      " << ref.ms << " ms (" << ref.cpuMs << " ms CPU), "
              << raw.size() << " bytes\n";
        out() << "    time ratio " << ratio(double(mine.ms), double(ref.ms)) << ", size "
              << pct(double(fileSize(container)), double(raw.size())) << " (stream "
              << pct(double(fileSize(container) - 9), double(raw.size())) << ")\n";
    }
    out().flush();
    return 0;
}
