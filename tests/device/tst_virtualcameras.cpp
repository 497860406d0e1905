// The start-up entry of the simulator: how many virtual cameras the command
// line and the environment ask for. (The registry finding them is
// tst_usagesource's start.)
#include "camera/VirtualCameraBackend.h"
#include "camera/VirtualCameras.h"
#include "comm/TimeScale.h"
#include "uvc/CameraFamily.h"

#include <QTest>

using namespace vexo::pc;

class TestVirtualCameras : public QObject
{
    Q_OBJECT

    static int installed()
    {
        const auto b = VirtualCameras::backend();
        return b ? int(b->cameras().size()) : 0;
    }

private slots:
    void initTestCase()
    {
        // Only virtual cameras in this process, whatever the machine has.
        qputenv("ZARVO_REAL_CAMERAS", "0");
        qunsetenv("ZARVO_SIMULATE");
        TimeScale::setFactor(0.05);
        CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});
    }

    void cleanup()
    {
        VirtualCameras::uninstall();
        qunsetenv("ZARVO_SIMULATE");
    }

    void counts_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("env");
        QTest::addColumn<bool>("whenNoCamera");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing asked") << QStringList() << QByteArray() << false << 0;
        QTest::newRow("no camera rule") << QStringList() << QByteArray() << true << 2;
        QTest::newRow("option") << QStringList{QStringLiteral("--simulate"), QStringLiteral("3")} << QByteArray() << false << 3;
        QTest::newRow("option with =") << QStringList{QStringLiteral("--simulate=1")} << QByteArray("4") << false << 1;
        QTest::newRow("environment") << QStringList() << QByteArray("4") << false << 4;
        QTest::newRow("environment auto") << QStringList() << QByteArray("auto") << false << 2;
        QTest::newRow("refused by option") << QStringList{QStringLiteral("--no-simulate")} << QByteArray("4") << true << 0;
        QTest::newRow("refused by environment") << QStringList() << QByteArray("0") << true << 0;
    }

    void counts()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, env);
        QFETCH(bool, whenNoCamera);
        QFETCH(int, expected);
        if (!env.isEmpty())
            qputenv("ZARVO_SIMULATE", env);
        QCOMPARE(VirtualCameras::installFromEnvironment(args, whenNoCamera), expected);
        QCOMPARE(installed(), expected);
        QVERIFY(!VirtualCameras::realCameraPresent());
    }
};

QTEST_GUILESS_MAIN(TestVirtualCameras)
#include "tst_virtualcameras.moc"
