// The main window's manual upgrade and log export against a virtual camera,
// as the user goes through them: a damaged package is refused before any
// transfer, a good one ends in the progress window at 100, the log export
// tells its outcome in the message box.
#include "MainWindowTestSupport.h"
#include "comm/CameraModel.h"
#include "package/FirmwareBuilder.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uvc/UvcPatchUpgrade.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

using namespace mwtest;

namespace {

// The window with the file dialog answered by the test.
class Window : public MainUserUi
{
public:
    QString file;

private:
    QString chooseFirmwareFile() override { return file; }
};

template <typename T>
T *shownWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && qobject_cast<T *>(w))
            return qobject_cast<T *>(w);
    }
    return nullptr;
}

// Every label text of a window, joined.
QString texts(QWidget *w)
{
    QStringList all;
    for (const QLabel *l : w->findChildren<QLabel *>())
        all << l->text();
    return all.join(QLatin1Char('|'));
}

} // namespace

class TestMainUpgrade : public QObject
{
    Q_OBJECT

    Window *window_ = nullptr;
    std::shared_ptr<VirtualCamera> cam_;
    QTemporaryDir dir_;

    QString writePackage(const QString &version, int revision, QByteArray *bytes)
    {
        const CameraModel &m = VirtualCamera::cameraModel(cam_->model());
        FirmwareBuilder::Description d;
        d.product = m.productName();
        d.platform = m.platformName();
        d.version = version;
        d.revision = revision;
        d.size = 512 * 1024;
        *bytes = FirmwareBuilder::syntheticPackage(d);
        const QString path = dir_.filePath(FirmwareBuilder::fileName(d, d.platform));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(*bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        setUpPlatform();
        TimeScale::setFactor(0.02);
        // A data root without its picture folder: the window makes it for
        // the camera's thumbnails.
        const QString pics = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pic/");
        QDir(pics).removeRecursively();
        window_ = new Window;
        window_->show();
        cam_ = plugCameras(window_, 1).front();
        QVERIFY(waitFor([this] { return window_->currentDevSn() == cam_->serial(); }));
        QVERIFY(waitFor([&] { return QFile::exists(pics + cam_->serial() + QStringLiteral("_Icon_2.jpg")); }, 10000));
    }

    void cleanupTestCase() { delete window_; }

    void manualUpgrade()
    {
        QByteArray pkg;
        window_->file = writePackage(QStringLiteral("5.0.0.2"), 1, &pkg);
        QFile damaged(window_->file);
        damaged.open(QIODevice::ReadWrite);
        damaged.seek(70000);
        damaged.write("!");
        damaged.close();
        const QByteArray before = cam_->installedImage();
        QString refusal;
        QTimer::singleShot(0, this, [&refusal] {
            if (MsgInfoUi *box = shownWindow<MsgInfoUi>()) {
                refusal = texts(box);
                box->findChild<QPushButton *>(QStringLiteral("pbYes"))->click();
            }
        });
        window_->onManualUpgrade();
        QVERIFY2(refusal.contains(QStringLiteral("Firmware Invalid")), qPrintable(refusal));
        QCOMPARE(cam_->writeCount(5), 0);

        window_->file = writePackage(QStringLiteral("5.0.0.2"), 1, &pkg);
        bool finished = false;
        std::function<void()> closeAtEnd = [&] {
            MsgProgressUi *w = shownWindow<MsgProgressUi>();
            if (w && texts(w).contains(QStringLiteral("Upgrade successfully!"))) {
                finished = true;
                w->findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
            } else if (w && texts(w).contains(QStringLiteral("failed"))) {
                w->findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
            } else {
                QTimer::singleShot(50, this, closeAtEnd);
            }
        };
        QTimer::singleShot(50, this, closeAtEnd);
        window_->onManualUpgrade();
        QVERIFY(finished);
        QCOMPARE(cam_->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        QVERIFY(cam_->installedImage() != before);
    }

    void exportLog()
    {
        QVERIFY(waitFor([this] { return device(cam_) && device(cam_)->isInited(); }, 10000));
        QString said;
        std::function<void()> answer = [&] {
            MsgInfoUi *box = shownWindow<MsgInfoUi>();
            auto *ok = box ? box->findChild<QPushButton *>(QStringLiteral("pbYes")) : nullptr;
            if (ok && ok->isEnabled()) {
                said = texts(box);
                ok->click();
            } else {
                QTimer::singleShot(50, this, answer);
            }
        };
        QTimer::singleShot(50, this, answer);
        window_->onExportLog();
        QVERIFY2(said.contains(QStringLiteral("Extract the log file successfully!")), qPrintable(said));
    }
};

QTEST_MAIN(TestMainUpgrade)
#include "tst_mainupgrade.moc"
