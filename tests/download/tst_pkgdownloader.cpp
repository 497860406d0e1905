#include "CloudStandIn.h"
#include "TestWait.h"

#include "comm/GlobalParams.h"
#include "comm/PackageInfo.h"
#include "comm/TimeScale.h"
#include "download/PkgDownloader.h"
#include "package/FirmwareBuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using vexo::pc::FirmwareBuilder;
using vexo::pc::GlobalParams;
using vexo::pc::PackageInfo;
using vexo::pc::PkgDownloader;
using vexo::pc::TimeScale;

namespace {

struct Info
{
    PkgDownloader::InfoType type;
    int value;
    QString text;
    qint64 atMs;
};

} // namespace

class TestPkgDownloader : public QObject
{
    Q_OBJECT

    testsupport::CloudStandIn m_cloud;
    QTemporaryDir m_served;
    QTemporaryDir m_local;
    FirmwareBuilder::Description m_desc;
    QString m_fwName;
    QString m_pcName;
    static constexpr int kPcSize = 64 * 1024 * 1024;

    QJsonObject firmwareRequest() const
    {
        return QJsonObject{{"product", m_desc.product}, {"branch", m_desc.branch}, {"platform", m_desc.platform},
                           {"status", QStringLiteral("release")}, {"version", QStringLiteral("1.0.0.0")},
                           {"seqid", QString()}, {"pkg_type", 1}};
    }

    // One whole run; every notification in arrival order (queued, as the
    // user interface receives them).
    QList<Info> runOnce(const QJsonObject &request)
    {
        PkgDownloader d;
        d.setRequest(request);
        d.setDownloadDir(m_local.path());
        QList<Info> got;
        QElapsedTimer clock;
        clock.start();
        connect(&d, &PkgDownloader::notifyInfo, this,
                [&](PkgDownloader::InfoType t, int v, const QString &s) { got.append({t, v, s, clock.elapsed()}); },
                Qt::QueuedConnection);
        bool finished = false;
        connect(&d, &QThread::finished, this, [&] { finished = true; }, Qt::QueuedConnection);
        d.start();
        if (!testsupport::waitFor([&] { return finished; }, 60000))
            QTest::qFail("the download did not end", __FILE__, __LINE__);
        QCoreApplication::processEvents();
        return got;
    }

    static QList<PkgDownloader::InfoType> kinds(const QList<Info> &infos, bool withProgress = false)
    {
        QList<PkgDownloader::InfoType> out;
        for (const Info &i : infos) {
            if (withProgress || i.type != PkgDownloader::INFO_PROGRESS)
                out.append(i.type);
        }
        return out;
    }

    static qint64 progressSum(const QList<Info> &infos)
    {
        qint64 sum = 0;
        for (const Info &i : infos) {
            if (i.type == PkgDownloader::INFO_PROGRESS) {
                if (i.value <= 0)
                    QTest::qFail("a progress report without bytes", __FILE__, __LINE__);
                sum += i.value;
            }
        }
        return sum;
    }

private slots:
    void initTestCase()
    {
        m_desc.version = QStringLiteral("1.0.4.0");
        m_desc.size = 1024 * 1024;
        m_fwName = FirmwareBuilder::fileName(m_desc, m_desc.platform);
        QFile fw(m_served.filePath(m_fwName));
        QVERIFY(fw.open(QIODevice::WriteOnly));
        QVERIFY(fw.write(FirmwareBuilder::syntheticPackage(m_desc)) == m_desc.size);
        fw.close();

        m_pcName = QStringLiteral("Kavora_zarvo_pc_OA_E_%1_9.0.0.0_release%2")
                       .arg(GlobalParams::instance()->getPcPlatform(), PkgDownloader::installerExtension());
        QFile pc(m_served.filePath(m_pcName));
        QVERIFY(pc.open(QIODevice::WriteOnly));
        QByteArray block(1024 * 1024, '\0');
        for (int i = 0; i < kPcSize / block.size(); ++i) {
            block.fill(char(i * 7 + 1));
            QVERIFY(pc.write(block) == block.size());
        }
        pc.close();

        QVERIFY(m_cloud.start(m_served.path()));
        GlobalParams::instance()->setFwQueryUrl(m_cloud.baseUrl() + QStringLiteral("firmware/dev_query/"));
    }

    void cleanup()
    {
        TimeScale::setFactor(1.0);
        QVERIFY(m_cloud.setMode(QStringLiteral("normal")));
    }

    // Answers the query must refuse.
    void queryAnswers_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("normal") << "normal" << true;
        QTest::newRow("upper-case md5") << "upper-md5" << true;
        QTest::newRow("two packages") << "two-packages" << false;
        QTest::newRow("packages as object") << "packages-object" << false;
        QTest::newRow("no errorcode") << "no-errorcode" << false;
        QTest::newRow("invalid json") << "malformed" << false;
        QTest::newRow("status 500") << "http:500" << false;
        QTest::newRow("errorcode 404") << "error:404" << false;
    }
    void queryAnswers()
    {
        QFETCH(QString, mode);
        QFETCH(bool, accepted);
        QVERIFY(m_cloud.setMode(mode));
        PkgDownloader d;
        d.setRequest(firmwareRequest());
        QCOMPARE(d.queryLatestFwInfo(), accepted);
        if (accepted) {
            QCOMPARE(d.pkgFileName(), m_fwName);
            QCOMPARE(d.package().value("pkgsize").toInt(), int(m_desc.size));
        }
        // The request travels without "pkg_type", with "latest" as a string.
        const QJsonObject sent = m_cloud.freshRecords().last().toObject().value("body").toObject();
        QVERIFY(!sent.contains("pkg_type"));
        QCOMPARE(sent.value("latest"), QJsonValue(QStringLiteral("true")));
        QCOMPARE(sent.value("pc_version").toString(), GlobalParams::getSoftwareVersion());
        m_cloud.markSeen();
    }

    void releaseStates_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("accepted");
        const char *states[] = {"release", "test", "debug"};
        const bool table[3][3] = {{true, false, false}, {true, true, false}, {true, true, true}};
        for (int w = 0; w < 3; ++w) {
            for (int o = 0; o < 3; ++o)
                QTest::addRow("%s takes %s", states[w], states[o]) << states[w] << states[o] << table[w][o];
        }
    }
    void releaseStates()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, offered);
        QFETCH(bool, accepted);
        QJsonObject request = firmwareRequest();
        request.insert("status", wanted);
        QJsonObject pkg{{"product", m_desc.product}, {"branch", m_desc.branch}, {"platform", m_desc.platform},
                        {"url", "http://x/"}, {"pkgsize", 1}, {"md5", "0"}, {"version", "1.0.0.1"},
                        {"status", offered}};
        QCOMPARE(PackageInfo::matchesRequest(pkg, request), accepted);
        pkg.remove("md5");
        QVERIFY(!PackageInfo::matchesRequest(pkg, request));
    }

    // Download, verification, updater package; then the same file is up to
    // date; a damaged file is replaced.
    void firmwareRuns()
    {
        const QString path = m_local.filePath(m_fwName);
        QFile::remove(path);
        QList<Info> got = runOnce(firmwareRequest());
        QCOMPARE(kinds(got), (QList<PkgDownloader::InfoType>{PkgDownloader::INFO_PKG_SIZE, PkgDownloader::INFO_DONE}));
        QCOMPARE(got.first().text, m_fwName);
        QCOMPARE(progressSum(got), m_desc.size);
        QVERIFY(QFileInfo::exists(m_local.filePath("Ugsys_" + m_fwName)));

        got = runOnce(firmwareRequest());
        QCOMPARE(kinds(got, true),
                 (QList<PkgDownloader::InfoType>{PkgDownloader::INFO_PKG_SIZE, PkgDownloader::INFO_UP_TO_DATE}));
        QCOMPARE(got.last().text, QStringLiteral("Local package is up to update"));

        // Half a file left by a connection that dropped.
        QFile::remove(path);
        QVERIFY(m_cloud.setMode("short-body"));
        got = runOnce(firmwareRequest());
        QCOMPARE(got.last().type, PkgDownloader::INFO_ERROR);
        QCOMPARE(got.last().text, QStringLiteral("Download error and failed to get package"));
        QCOMPARE(QFileInfo(path).size(), m_desc.size / 2);

        QVERIFY(m_cloud.setMode("normal"));
        got = runOnce(firmwareRequest());
        QCOMPARE(got.last().type, PkgDownloader::INFO_DONE);
        QCOMPARE(progressSum(got), m_desc.size);
    }

    void downloadFailures_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("wrong md5") << "wrong-md5";
        QTest::newRow("status 500") << "download-http:500";
        QTest::newRow("stall") << "stall";
    }
    void downloadFailures()
    {
        QFETCH(QString, mode);
        QFile::remove(m_local.filePath(m_fwName));
        QVERIFY(m_cloud.setMode(mode));
        // The 5 s silence limit, at a fifth.
        TimeScale::setFactor(0.2);
        QElapsedTimer t;
        t.start();
        const QList<Info> got = runOnce(firmwareRequest());
        QCOMPARE(kinds(got), (QList<PkgDownloader::InfoType>{PkgDownloader::INFO_PKG_SIZE, PkgDownloader::INFO_ERROR}));
        QVERIFY(t.elapsed() < 5000);
    }

    void queryFailure()
    {
        QVERIFY(m_cloud.setMode("two-packages"));
        const QList<Info> got = runOnce(firmwareRequest());
        QCOMPARE(got.size(), 1);
        QCOMPARE(got.first().type, PkgDownloader::INFO_ERROR);
        QCOMPARE(got.first().text, QStringLiteral("Failed to get package info!"));
    }

    // The application's own package: no verification; 64 MiB reach the
    // receiving thread as at most one progress report per 50 ms.
    void softwareThrottled()
    {
        QJsonObject request = GlobalParams::instance()->getPcSoftwareInfo();
        QCOMPARE(request.value("pkg_type").toInt(), 0);
        QElapsedTimer t;
        t.start();
        const QList<Info> got = runOnce(request);
        const qint64 elapsed = t.elapsed();
        QCOMPARE(kinds(got), (QList<PkgDownloader::InfoType>{PkgDownloader::INFO_PKG_SIZE, PkgDownloader::INFO_DONE}));
        QCOMPARE(got.first().text, m_pcName);
        QCOMPARE(progressSum(got), qint64(kPcSize));
        const int reports = int(kinds(got, true).count(PkgDownloader::INFO_PROGRESS));
        qInfo("64 MiB in %lld ms with %d progress reports", elapsed, reports);
        QVERIFY2(reports <= elapsed / 50 + 1, qPrintable(QString::number(reports)));
        QVERIFY(!QFileInfo::exists(m_local.filePath("Ugsys_" + m_pcName)));
    }
};

QTEST_GUILESS_MAIN(TestPkgDownloader)
#include "tst_pkgdownloader.moc"
