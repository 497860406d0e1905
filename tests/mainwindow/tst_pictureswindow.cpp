// The background pictures of the main window against a virtual camera:
// thumbnails fetched on selection, items following the background switch,
// the menu of the custom picture, and adding one (refused file, crop,
// upload with its progress dialog).
#include "MainWindowTestSupport.h"

#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uvc/PictureProtocol.h"
#include "zarvocam/ImageCrop.h"
#include "zarvocam/ImageItem.h"

#include <QDir>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

using namespace mwtest;

namespace {

// Answers whatever modal window the flow opens: the message box, the crop
// window (OK), the progress dialog once it may be closed.
void driveDialogs(QTimer &timer, QStringList &seen)
{
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            QPushButton *press = nullptr;
            if (qobject_cast<MsgInfoUi *>(w))
                press = w->findChild<QPushButton *>(QStringLiteral("pbYes"));
            else if (qobject_cast<ImageCrop *>(w))
                press = w->findChild<QPushButton *>(QStringLiteral("pbOK"));
            else if (qobject_cast<MsgProgressUi *>(w))
                press = w->findChild<QPushButton *>(QStringLiteral("pbOk"));
            if (press && press->isEnabled()) {
                seen << QString::fromLatin1(w->metaObject()->className());
                press->click();
            }
        }
    });
    timer.start(20);
}

} // namespace

class TestPicturesWindow : public QObject
{
    Q_OBJECT
    MainUserUi *m_window = nullptr;
    std::shared_ptr<VirtualCamera> m_cam;
    QTemporaryDir m_dir;

    ImageItem *item(int i) const { return m_window->imageItems().at(i); }

private slots:
    void initTestCase()
    {
        setUpPlatform();
        QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pic")));
        m_window = new MainUserUi();
        m_window->show();
        m_cam = plugCameras(m_window, 1).front();
        QVERIFY(waitFor([&] { return m_window->currentDevSn() == m_cam->serial() && m_window->isAwake(); }));
    }

    void cleanupTestCase()
    {
        unplugAll(m_window);
        delete m_window;
        QThreadPool::globalInstance()->waitForDone();
    }

    // Fetched on selection: dimmed while the background is off, the menu
    // only on the custom picture, the empty item deaf while off.
    void itemsFollowCamera()
    {
        QVERIFY(waitFor([&] { return item(2)->hasThumbnail(); }, 10000));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(item(i)->objectName(), QString::number(i));
            QCOMPARE(item(i)->state(), int(ImageItem::StateDisabled));
            QCOMPARE(QImage(item(i)->thumbnailPath()).size(), QSize(64, 36));
        }
        item(0)->showMenu(QPoint(4, 4));
        item(1)->showMenu(QPoint(4, 4));
        QVERIFY(!item(0)->menu()->isVisible() && !item(1)->menu()->isVisible());

        item(2)->actionDelete();  // off: the camera is told, the item empties
        QVERIFY(waitFor([&] { return !m_cam->files().contains(pic::remotePicturePath(2)); }));
        QCOMPARE(item(2)->state(), int(ImageItem::StateEmpty));
        bool asked = false;
        m_window->setPicturePicker([&asked](QWidget *) {
            asked = true;
            return QString();
        });
        item(2)->click();
        QVERIFY(!asked);

        button(m_window, "pbVirtualBg")->click();
        QVERIFY(m_window->isBackgroundOn());
        QCOMPARE(item(0)->state(), int(ImageItem::StateSelected));
        QCOMPARE(item(1)->state(), int(ImageItem::StateNormal));
        QCOMPARE(item(0)->geometry(), item(0)->baseRect().adjusted(-2, -2, 2, 2));
        item(1)->click();
        QVERIFY(waitFor([&] { return m_cam->statusByte(CameraStatus::ReplaceImage) == 1; }));
        QCOMPARE(item(0)->state(), int(ImageItem::StateNormal));
    }

    // A file that is no picture is refused; a small picture is cropped to
    // the camera's size and uploaded.
    void addPicture()
    {
        QVERIFY(m_window->isBackgroundOn());
        const QString text = m_dir.filePath(QStringLiteral("notes.jpg"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("no picture") > 0);
        f.close();
        const QString png = m_dir.filePath(QStringLiteral("small.png"));
        QImage small(640, 480, QImage::Format_RGB32);
        small.fill(Qt::darkMagenta);
        QVERIFY(small.save(png));

        QStringList seen;
        QTimer driver;
        driveDialogs(driver, seen);
        m_window->setPicturePicker([&](QWidget *) { return text; });
        QVERIFY(!m_window->onSelectPicAndUpload(item(2)));
        QCOMPARE(seen, QStringList{QStringLiteral("MsgInfoUi")});

        seen.clear();
        m_window->setPicturePicker([&](QWidget *) { return png; });
        item(2)->click();
        QCOMPARE(seen, (QStringList{QStringLiteral("ImageCrop"), QStringLiteral("MsgProgressUi")}));
        QCOMPARE(item(2)->state(), int(ImageItem::StateSelected));
        const QByteArray uploaded = m_cam->files().file(pic::remotePicturePath(2));
        QFile preview(item(2)->previewPath());
        QVERIFY(preview.open(QIODevice::ReadOnly));
        QCOMPARE(preview.readAll(), uploaded);
        QCOMPARE(QImage::fromData(uploaded).size(), QSize(1536, 864));
        QCOMPARE(QImage(item(2)->thumbnailPath()).size(), QSize(64, 36));
    }
};

QTEST_MAIN(TestPicturesWindow)
#include "tst_pictureswindow.moc"
