#include "3rdparty/qbreakpad/handler/QBreakpadHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Reads the parts of a minidump the checks need, straight from the published
// layout; every offset is bounds-checked, so a broken file fails the test.
struct Dump
{
    QByteArray data;
    bool ok = true;

    quint64 read(quint32 at, int size)
    {
        if (quint64(at) + size > quint64(data.size())) {
            ok = false;
            return 0;
        }
        quint64 v = 0;
        std::memcpy(&v, data.constData() + at, size_t(size));
        return v;
    }
    quint32 u32(quint32 at) { return quint32(read(at, 4)); }
    quint64 u64(quint32 at) { return read(at, 8); }
    QString string(quint32 at)
    {
        const quint32 bytes = u32(at);
        if (!ok || quint64(at) + 4 + bytes > quint64(data.size()))
            return QString();
        return QString::fromUtf16(reinterpret_cast<const ushort *>(data.constData() + at + 4), int(bytes / 2));
    }
    // Offset of a stream's data, 0 when absent.
    quint32 stream(quint32 type)
    {
        const quint32 count = u32(8), directory = u32(12);
        for (quint32 i = 0; ok && i < count; ++i)
            if (u32(directory + i * 12) == type)
                return u32(directory + i * 12 + 8);
        return 0;
    }
};

struct Module
{
    quint64 base, size;
    QString name;
    QByteArray cv;
};

} // namespace

class TestCrashDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void crashLeavesOneReadableDump_data();
    void crashLeavesOneReadableDump();
    void unusablePathKeepsPreviousHandler();
    void failingCallbackStillEndsTheProcess_data();
    void failingCallbackStillEndsTheProcess();
    void oneInstanceForRacingThreads();
    void relativePathIsUnderProgramFolder();

private:
    QString m_helper;
};

void TestCrashDump::initTestCase()
{
#ifdef ZARVO_SANITIZED
    QSKIP("Sanitizer build: the sanitizers handle the fatal signals themselves; the plain build checks crash dumps.");
#endif
    m_helper = QCoreApplication::applicationDirPath() + QStringLiteral("/crashhelper");
    QVERIFY(QFileInfo::exists(m_helper));
}

void TestCrashDump::crashLeavesOneReadableDump_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal");
    QTest::newRow("null") << "null" << SIGSEGV;
    QTest::newRow("abort") << "abort" << SIGABRT;
    QTest::newRow("stack") << "stack" << SIGSEGV;
    QTest::newRow("thread") << "thread" << SIGSEGV;
}

void TestCrashDump::crashLeavesOneReadableDump()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    QTemporaryDir dir;
    QProcess helper;
    helper.start(m_helper, {mode, dir.path()});
    QVERIFY(helper.waitForStarted(60000));
    const quint32 pid = quint32(helper.processId());
    QVERIFY(helper.waitForFinished(60000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);

    const QStringList dumps = QDir(dir.path()).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    const QString id = QFileInfo(dumps.first()).completeBaseName();
    QVERIFY(helper.readAllStandardError().contains(
        ("Succeed to write minidump, dump path: " + dir.path() + '/' + id).toLocal8Bit()));

    QFile file(dir.filePath(dumps.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    Dump d{file.readAll()};
    QCOMPARE(d.u32(0), 0x504d444du); // "MDMP"

    const quint32 system = d.stream(7);
    QVERIFY(system != 0);
    QCOMPARE(d.read(system, 2), quint64(9)); // x86-64
    QCOMPARE(d.u32(system + 20), 0x8201u);   // Linux

    const quint32 exception = d.stream(6);
    QVERIFY(exception != 0);
    const quint32 crashTid = d.u32(exception);
    QCOMPARE(int(d.u32(exception + 8)), signal);
    if (signal == SIGSEGV && mode != QLatin1String("stack"))
        QCOMPARE(d.u64(exception + 24), quint64(0)); // the null address
    const quint32 context = d.u32(exception + 164);
    QVERIFY(d.u32(exception + 160) >= 0x100);
    QCOMPARE(crashTid == pid, mode != QLatin1String("thread"));

    std::vector<Module> modules;
    const quint32 list = d.stream(4);
    for (quint32 i = 0, n = d.u32(list); i < n && d.ok; ++i) {
        const quint32 m = list + 4 + i * 108;
        const quint32 cvSize = d.u32(m + 76), cvAt = d.u32(m + 80);
        modules.push_back({d.u64(m), d.u32(m + 8), d.string(d.u32(m + 20)), d.data.mid(int(cvAt), int(cvSize))});
    }
    QVERIFY(d.ok);
    const QString self = QFileInfo(m_helper).canonicalFilePath();
    bool hasSelf = false;
    for (const Module &m : modules)
        hasSelf = hasSelf || (m.name == self && m.cv.startsWith("LEpB") && m.cv.size() > 4);
    QVERIFY2(hasSelf, "the program itself, with its build id");

    // The crashing thread is listed with the exception's registers. Every
    // thread with registers (the crashing one, those blocked in the kernel)
    // has a stack range holding its stack pointer and runs code of a module.
    const quint32 threads = d.stream(3);
    bool listed = false;
    for (quint32 i = 0, n = d.u32(threads); i < n && d.ok; ++i) {
        const quint32 t = threads + 4 + i * 48, at = d.u32(t + 44);
        if (d.u32(t) == crashTid) {
            listed = true;
            QCOMPARE(at, context);
        }
        if (d.u32(t + 40) == 0)
            continue;
        const quint64 rsp = d.u64(at + 0x98), rip = d.u64(at + 0xf8), start = d.u64(t + 24);
        QVERIFY2(start <= rsp && rsp < start + d.u32(t + 32), qPrintable(QString::number(rsp, 16)));
        QVERIFY(std::any_of(modules.begin(), modules.end(),
                            [rip](const Module &m) { return m.base <= rip && rip < m.base + m.size; }));
    }
    QVERIFY(listed);
}

void TestCrashDump::unusablePathKeepsPreviousHandler()
{
    QTemporaryDir dir;
    const QString unusable = QStringLiteral("/proc/version/crash_log");
    QProcess helper;
    helper.start(m_helper, {QStringLiteral("null"), dir.path(), unusable});
    QVERIFY(helper.waitForFinished(60000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QVERIFY(helper.readAllStandardError().contains(
        ("Failed to set dump path which not exists: " + unusable).toLocal8Bit()));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.dmp")}, QDir::Files).size(), 1);
}

void TestCrashDump::failingCallbackStillEndsTheProcess_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("fault in the handler") << "fault-in-callback";
    QTest::newRow("handler never returns") << "stuck-callback";
}

// A second fault inside the handler, or a callback stuck on a lock the crashed
// code held, must not keep the process alive: it ends crashed, dump written.
void TestCrashDump::failingCallbackStillEndsTheProcess()
{
    QFETCH(QString, mode);
    QTemporaryDir dir;
    QProcess helper;
    helper.start(m_helper, {mode, dir.path()});
    QVERIFY(helper.waitForFinished(30000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.dmp")}, QDir::Files).size(), 1);
}

void TestCrashDump::oneInstanceForRacingThreads()
{
    // Nothing in this process has asked for it yet.
    std::vector<QBreakpadHandler *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = QBreakpadHandler::instance(); });
    for (std::thread &t : threads)
        t.join();
    for (QBreakpadHandler *h : seen)
        QCOMPARE(h, QBreakpadHandler::instance());
}

void TestCrashDump::relativePathIsUnderProgramFolder()
{
    QBreakpadHandler *handler = QBreakpadHandler::instance();
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/crash_dumps_test");
    handler->setDumpPath(QStringLiteral("unused/../crash_dumps_test"));
    QCOMPARE(handler->dumpPath(), expected);
    QVERIFY(QFileInfo(expected).isDir());
    QDir(expected).removeRecursively();
}

QTEST_GUILESS_MAIN(TestCrashDump)
#include "tst_crashdump.moc"
