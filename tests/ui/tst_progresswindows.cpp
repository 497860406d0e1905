#include "TestWait.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/DownloadProgress.h"
#include "uicomm/UpgradeProgress.h"
#include "uicomm/UvcUpgradeProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using vexo::pc::GlobalParams;
using vexo::pc::PkgDownloader;
using vexo::pc::TimeScale;

namespace {

QString info(QWidget *w)
{
    return w->findChild<QLabel *>(QStringLiteral("lbInfo"))->text();
}

bool okEnabled(QWidget *w)
{
    return w->findChild<QPushButton *>(QStringLiteral("pbOk"))->isEnabled();
}

int bar(QWidget *w)
{
    return w->findChild<QProgressBar *>()->value();
}

} // namespace

class TestProgressWindows : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TimeScale::setFactor(1.0); }

    void downloadRate()
    {
        DownloadProgress w;
        const int size = 10 * 1048576;
        w.onDownloadProgressUpdate(PkgDownloader::INFO_PKG_SIZE, size, QStringLiteral("pkg.bin"));
        QCOMPARE(info(&w), QStringLiteral("pkg.bin\n0MB/s - 0MB, total 10MB"));
        QCOMPARE(bar(&w), 0);

        // Within 100 ms of the last computation: the count only.
        w.onDownloadProgressUpdate(PkgDownloader::INFO_PROGRESS, 2 * 1048576, QString());
        QCOMPARE(w.bytesReceived(), qint64(2 * 1048576));
        QCOMPARE(w.rate(), 0.0f);
        QCOMPARE(info(&w), QStringLiteral("pkg.bin\n0MB/s - 0MB, total 10MB"));

        QTest::qWait(120);
        w.onDownloadProgressUpdate(PkgDownloader::INFO_PROGRESS, 3 * 1048576, QString());
        QVERIFY(w.rate() > 0.0f);
        QCOMPARE(bar(&w), 50);
        QVERIFY(info(&w).endsWith(QStringLiteral("MB/s - 5MB, total 10MB")));
        const float rate = w.rate();
        w.onDownloadProgressUpdate(PkgDownloader::INFO_PROGRESS, 1048576, QString());
        QCOMPARE(w.rate(), rate);
        QVERIFY(!okEnabled(&w));

        w.onDownloadProgressUpdate(PkgDownloader::INFO_DONE, 0, QStringLiteral("Download successfully"));
        QCOMPARE(info(&w), QStringLiteral("pkg.bin\n0MB/s - 10MB, total 10MB"));
        QVERIFY(okEnabled(&w));
        QVERIFY(!w.failed());

        w.reset();
        QVERIFY(!okEnabled(&w));
        w.onDownloadProgressUpdate(PkgDownloader::INFO_ERROR, 0, QStringLiteral("Firmware verify failed"));
        QCOMPARE(info(&w), QStringLiteral("Download error!"));
        QVERIFY(w.failed());
    }

    void downloadTimeout()
    {
        TimeScale::setFactor(0.001); // 720 s -> 720 ms
        DownloadProgress w;
        w.onDownloadProgressUpdate(PkgDownloader::INFO_PKG_SIZE, 1048576, QStringLiteral("pkg.bin"));
        QTimer::singleShot(0, &w, [&w] {
            testsupport::waitFor([&w] { return okEnabled(&w); }, 5000);
            w.findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
        });
        QCOMPARE(w.exec(), int(MsgProgressUi::Failed));
        QCOMPARE(info(&w), QStringLiteral("Download timeout, please try again later!"));
    }

    void upgradeSteps()
    {
        UpgradeProgress w;
        QCOMPARE(bar(&w), 0);
        for (int i = 0; i < 11; ++i)
            w.onUpgradeProgressUpdate(GlobalParams::UgStep, QStringLiteral("u"), QStringLiteral("step"));
        QCOMPARE(w.progress(), 90);
        QCOMPARE(bar(&w), 90);
        QCOMPARE(info(&w), QStringLiteral("Warning: Do not disconnect the device during upgrade, otherwise the device "
                                          "will crash!"));
        w.onUpgradeProgressUpdate(GlobalParams::UgBusy, QStringLiteral("u"), QStringLiteral("busy"));
        QVERIFY(w.failed() && okEnabled(&w));
    }

    // A silent camera ends in the failure text; one that reported success
    // does not.
    void upgradeTimeout_data()
    {
        QTest::addColumn<bool>("succeeded");
        QTest::newRow("silent") << false;
        QTest::newRow("succeeded before") << true;
    }
    void upgradeTimeout()
    {
        QFETCH(bool, succeeded);
        TimeScale::setFactor(0.002); // 180 s -> 360 ms, 12 s -> 24 ms
        UpgradeProgress w;
        bool timedOut = false;
        QTimer::singleShot(0, &w, [&] {
            if (succeeded)
                w.onUpgradeProgressUpdate(GlobalParams::UgSuccess, QString(), QString());
            // Past the time-out.
            QTest::qWait(TimeScale::ms(UpgradeProgress::TimeoutMs) + 200);
            timedOut = true;
            w.findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
        });
        const int result = w.exec();
        QVERIFY(timedOut);
        if (succeeded) {
            QCOMPARE(result, int(MsgProgressUi::Ok));
            QCOMPARE(info(&w), QStringLiteral("Upgrade successfully!"));
        } else {
            QCOMPARE(result, int(MsgProgressUi::Failed));
            QCOMPARE(info(&w), QStringLiteral("No response from device for a long time, please restart device and try "
                                              "again!"));
        }
    }

    // For a camera that is not there the window ends failed and can be
    // closed.
    void uvcUpgradeWithoutCamera()
    {
        UvcUpgradeProgress w(QStringLiteral("SN0"));
        QVERIFY(testsupport::waitFor([&] { return w.failed(); }, 10000));
        QVERIFY(okEnabled(&w));
    }
};

QTEST_MAIN(TestProgressWindows)
#include "tst_progresswindows.moc"
