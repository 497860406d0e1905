// Patch-list generation and the compressed container against the stock
// tools, measured in the same run on the same data.
//
//  1. A generated 32 MiB firmware-like pair (a package and its next
//     revision, same layout), cut into four 8 MiB pieces:
//     "zarvoctl fw patchlist" (all cores, and one thread for reference)
//     against Debian's bsdiff on the same four pieces, one after the other
//     and two at a time. bsdiff writes another file format (three bzip2
//     streams), so only time and size are compared.
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

Run runTimed(const QString &program, const QStringList &args, QByteArray *stdOut = nullptr)
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
    p.waitForFinished(-1);
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

    out() << "Patch list of a 32 MiB firmware-like pair, 4 pieces of 8 MiB\n";
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

    const QStringList splits{QStringLiteral("8M"), QStringLiteral("16M"), QStringLiteral("24M"),
                             QStringLiteral("32M")};
    const QString list = dir + QStringLiteral("/patch.bin");
    const QString listSerial = dir + QStringLiteral("/patch1.bin");
    const Run ours = runTimed(zarvoctl, QStringList{QStringLiteral("fw"), QStringLiteral("patchlist"),
                                                    oldPkg, newPkg, list} + splits);
    const Run oursSerial = runTimed(zarvoctl, QStringList{QStringLiteral("fw"), QStringLiteral("patchlist"),
                                                          oldPkg, newPkg, listSerial} + splits
                                                  + QStringList{QStringLiteral("--threads"),
                                                                QStringLiteral("1")});
    const qint64 oursPatches = patchBytesInList(list);
    out() << "  machine: " << QThread::idealThreadCount() << " cores\n";
    out() << "  zarvoctl fw patchlist (all cores): " << ours.ms << " ms wall, " << ours.cpuMs
          << " ms CPU, list " << fileSize(list) << " bytes, patches " << oursPatches << " bytes\n";
    out() << "  zarvoctl fw patchlist (1 thread):  " << oursSerial.ms << " ms wall, "
          << oursSerial.cpuMs << " ms CPU, "
          << (fileSize(list) == fileSize(listSerial) ? "same size" : "DIFFERENT SIZE") << "\n";
    out().flush();

    const bool split = splitFile(oldPkg, piece, dir + QStringLiteral("/o"), 4)
                       && splitFile(newPkg, piece, dir + QStringLiteral("/n"), 4);
    if (bsdiff.isEmpty()) {
        out() << "  bsdiff not installed: comparison skipped\n";
    } else if (split) {
        QList<QStringList> jobs;
        for (int i = 0; i < 4; ++i)
            jobs.append({dir + QStringLiteral("/o%1").arg(i), dir + QStringLiteral("/n%1").arg(i),
                         dir + QStringLiteral("/p%1").arg(i)});
        Run serial;
        serial.ok = true;
        for (const QStringList &job : jobs) {
            const Run r = runTimed(bsdiff, job);
            serial.ok = serial.ok && r.ok;
            serial.ms += r.ms;
            serial.cpuMs += r.cpuMs;
        }
        qint64 theirs = 0;
        for (int i = 0; i < 4; ++i)
            theirs += fileSize(dir + QStringLiteral("/p%1").arg(i));
        const Run pair1 = runBatch(bsdiff, jobs.mid(0, 2));
        const Run pair2 = runBatch(bsdiff, jobs.mid(2, 2));
        const qint64 twoAtATime = pair1.ms + pair2.ms;
        out() << "  Debian bsdiff, one piece after another: " << serial.ms << " ms wall, "
              << serial.cpuMs << " ms CPU, patches " << theirs << " bytes\n";
        out() << "  Debian bsdiff, two pieces at a time:    " << twoAtATime << " ms wall\n";
        out() << "  wall-time speed-up vs bsdiff one after another: "
              << ratio(double(serial.ms), double(ours.ms)) << "x; vs two at a time: "
              << ratio(double(twoAtATime), double(ours.ms)) << "x\n";
        out() << "  CPU-time ratio (bsdiff / zarvoctl): "
              << ratio(double(serial.cpuMs), double(ours.cpuMs)) << "x\n";
        out() << "  patch size vs bsdiff: " << pct(double(oursPatches), double(theirs))
              << " (whole list with its header: " << pct(double(fileSize(list)), double(theirs))
              << ")\n";
    }
    out().flush();

    out() << "\nCompressed container against xz --format=raw --lzma2=preset=5\n";
    const QString head = dir + QStringLiteral("/fwheader.bin");
    runTimed(zarvoctl, {QStringLiteral("fw"), QStringLiteral("head"), newPkg, head});
    const QString firstPiece = dir + QStringLiteral("/n0");
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
