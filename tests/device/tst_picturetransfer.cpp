// The camera's picture transfers against the virtual camera: piece edges,
// the local-copy and size rules, lossy and broken transfers, and the
// requests the worker serves.
#include "DeviceTestSupport.h"

#include "uvc/CommandIds.h"
#include "uvc/PictureProtocol.h"

#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <mutex>

using namespace vexo::pc;
using namespace devtest;

namespace {

QByteArray pattern(int size, int seed = 3)
{
    QByteArray b(size, '\0');
    quint32 x = quint32(seed);
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = char(x >> 16);
    }
    return b;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

int pieceBlocks(VirtualCamera &cam)
{
    int n = 0;
    for (const QByteArray &b : cam.blocksWritten(cmd::SelUpload))
        n += quint8(b.at(0)) == pic::UpPiece ? 1 : 0;
    return n;
}

const QString Slot2 = pic::remotePicturePath(2);

} // namespace

class TestPictureTransfer : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString local(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        setUpFamily();
        QVERIFY(dir.isValid());
    }

    void uploadPieces_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("pieces");
        QTest::newRow("51 bytes, one piece") << 51 << 1;
        QTest::newRow("52 bytes, two pieces") << 52 << 2;
    }
    void uploadPieces()
    {
        QFETCH(int, size);
        QFETCH(int, pieces);
        OneCamera one;
        QVERIFY(one.dev);
        const QByteArray data = pattern(size);
        QVERIFY(writeFile(local("small.bin"), data));
        QSignalSpy progress(one.dev.get(), &UvcDevice::fileUploadProgress);
        QVERIFY(one.dev->fileUploadByUvc(local("small.bin"), Slot2));
        QCOMPARE(pieceBlocks(*one.cam), pieces);
        QCOMPARE(one.cam->files().file(Slot2), data);
        QCOMPARE(progress.last().at(0).toInt(), 100);
        QCOMPARE(one.dev->fileTransState(), int(UvcDevice::FileTransDone));
    }

    // The built-in pictures, the copy that is already here, the size limit.
    void downloadRules()
    {
        OneCamera one;
        QVERIFY(one.dev);
        const QString path = local("mask1.jpg");
        QCOMPARE(one.dev->fileDownloadByUvc(path, pic::remotePicturePath(1), false), 0);
        QCOMPARE(readAll(path), one.cam->files().file(pic::remotePicturePath(1)));
        QCOMPARE(QImage(path).size(), QSize(pic::PictureWidth, pic::PictureHeight));

        const int reads = one.cam->readCount(cmd::SelDownload);
        QCOMPARE(one.dev->fileDownloadByUvc(path, pic::remotePicturePath(1), false), 1);
        QCOMPARE(one.cam->readCount(cmd::SelDownload), reads + 1);  // the info block only

        QCOMPARE(one.dev->fileDownloadByUvc(local("none.jpg"), QStringLiteral("/app/private/none.jpg"), false), -1);

        one.cam->files().put(Slot2, pattern(0x80000));
        QCOMPARE(one.dev->fileDownloadByUvc(path, Slot2, false), -2);
        QVERIFY(!QFile::exists(path));
        one.cam->files().put(Slot2, pattern(0x80000 - 1));
        QCOMPARE(one.dev->fileDownloadByUvc(path, Slot2, false), 0);
        QCOMPARE(readAll(path), pattern(0x80000 - 1));
    }

    void failedReads_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("result");
        QTest::newRow("six failed reads") << 6 << 0;
        QTest::newRow("the seventh ends it") << 7 << -2;
    }
    void failedReads()
    {
        QFETCH(int, failures);
        QFETCH(int, result);
        OneCamera one;
        QVERIFY(one.dev);
        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("fail-data-reads=%1").arg(failures)));
        if (result < 0)
            QTest::ignoreMessage(QtWarningMsg, "Too many data transmission errors");
        const QString path = local(QStringLiteral("fail%1.jpg").arg(failures));
        QCOMPARE(one.dev->fileDownloadByUvc(path, pic::remotePicturePath(0), false), result);
        QCOMPARE(QFile::exists(path), result == 0);
    }

    // 64 KiB (more pieces than go out between two state reads) with lost and
    // damaged pieces: an upload recovers both, a download recovers lost
    // pieces; a damaged one ends it. The upload sends each piece the camera
    // still misses after one check step of its own, all within the
    // transfer's time limit, both scaled alike: the file is kept small enough
    // that its steps (some 80) stay far inside the limit also on a loaded
    // machine under the thread sanitizer (300 KiB took some 400: 2 s of 5).
    void lossyTransfers()
    {
        OneCamera one;
        QVERIFY(one.dev);
        const QByteArray data = pattern(64 * 1024, 11);
        QVERIFY(writeFile(local("big.bin"), data));
        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("drop=5%,damage=1%,seed=7")));
        QVERIFY(one.dev->fileUploadByUvc(local("big.bin"), Slot2));
        QVERIFY(one.cam->files().file(Slot2) == data);

        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("drop=5%,seed=8")));
        QCOMPARE(one.dev->fileDownloadByUvc(local("back.bin"), Slot2, false), 0);
        QVERIFY(readAll(local("back.bin")) == data);

        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("damage=1%,seed=9")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^crc error: ")));
        QCOMPARE(one.dev->fileDownloadByUvc(local("damaged.bin"), Slot2, false), -2);
        QVERIFY(!QFile::exists(local("damaged.bin")));
    }

    // Unplugged mid-transfer: the failure result; replugged: it works again.
    void unplugMidTransfer()
    {
        OneCamera one;
        QVERIFY(one.dev);
        QVERIFY(writeFile(local("up.bin"), pattern(20000)));
        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("unplug-after-blocks=100")));
        QSignalSpy progress(one.dev.get(), &UvcDevice::fileUploadProgress);
        QTest::ignoreMessage(QtWarningMsg, "Too many data transmission errors");
        QVERIFY(!one.dev->fileUploadByUvc(local("up.bin"), Slot2));
        QCOMPARE(progress.last().at(0).toInt(), -3);
        QVERIFY(!one.cam->isPlugged());

        one.dev->close();
        one.cam->replug();
        one.dev = one.openDevice(one.cam);
        QVERIFY(one.dev);
        QVERIFY(one.dev->fileUploadByUvc(local("up.bin"), Slot2));
        QCOMPARE(one.dev->fileDownloadByUvc(local("down.bin"), Slot2, false), 0);
        QCOMPARE(readAll(local("down.bin")), pattern(20000));
    }

    // Bad input: a missing local file, a garbage info block, a stall, a
    // remote path that does not fit the block.
    void badInput()
    {
        OneCamera one;
        QVERIFY(one.dev);
        QVERIFY(writeFile(local("up.bin"), pattern(20000)));
        QSignalSpy progress(one.dev.get(), &UvcDevice::fileUploadProgress);
        QVERIFY(!one.dev->fileUploadByUvc(local("missing.jpg"), Slot2));
        QCOMPARE(progress.last().at(0).toInt(), -3);
        QVERIFY(!one.dev->fileUploadByUvc(local("up.bin"), QString(60, QLatin1Char('x'))));

        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("garbage-info,seed=5")));
        QCOMPARE(one.dev->fileDownloadByUvc(local("garbage.jpg"), pic::remotePicturePath(0), false), -2);
        QVERIFY(!QFile::exists(local("garbage.jpg")));

        // A stalled camera is asked again and again until the time-out.
        TimeScale::setFactor(0.002);
        QLoggingCategory::setFilterRules(QStringLiteral("default.info=false"));
        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("stall-after-blocks=40")));
        QTest::ignoreMessage(QtWarningMsg, "Timeout for upload file");
        QCOMPARE(one.dev->fileDownloadByUvc(local("stall.jpg"), pic::remotePicturePath(0), false), -2);
        QTest::ignoreMessage(QtWarningMsg, "Timeout for upload file");
        QVERIFY(!one.dev->fileUploadByUvc(local("up.bin"), Slot2));
        TimeScale::setFactor(Scale);
        QLoggingCategory::setFilterRules(QString());
    }

    // The worker: thumbnails of the three different pictures, a preview, an
    // upload, refused bits, and three tries for a failing thumbnail.
    void workerRequests()
    {
        // The worker's signals, recorded on the worker's thread under a lock
        // and read here under it (a spy is written from the worker without
        // one; a queued connection hands the arguments over under Qt's own
        // lock, which the thread sanitizer does not see). It outlives the
        // device, whose worker emits into it.
        struct Record
        {
            std::mutex lock;
            QList<QPair<unsigned, int>> done;
            QList<int> progress;
        } record;
        auto doneList = [&record] {
            std::lock_guard<std::mutex> locker(record.lock);
            return record.done;
        };
        auto lastProgress = [&record] {
            std::lock_guard<std::mutex> locker(record.lock);
            return record.progress.value(record.progress.size() - 1, -1);
        };
        OneCamera one;
        QVERIFY(one.dev);
        for (int i = 0; i < 3; ++i)
            one.dev->setImagePaths(i, local(QStringLiteral("icon%1.jpg").arg(i)), local(QStringLiteral("pic%1.jpg").arg(i)));
        connect(one.dev.get(), &UvcDevice::fileDownloadDone, this, [&record](unsigned bit, int r) {
            std::lock_guard<std::mutex> locker(record.lock);
            record.done.append({bit, r});
        }, Qt::DirectConnection);
        connect(one.dev.get(), &UvcDevice::fileUploadProgress, this, [&record](int r) {
            std::lock_guard<std::mutex> locker(record.lock);
            record.progress.append(r);
        }, Qt::DirectConnection);
        for (unsigned bit : {1u, 2u, 4u, 32u})
            QVERIFY(one.dev->requestImageDownload(bit));
        QVERIFY(waitFor([&] { return doneList().size() == 4; }, 10000));
        QList<QPair<unsigned, int>> done = doneList();
        QList<QByteArray> thumbs;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(done.at(i).first, 1u << i);
            QCOMPARE(done.at(i).second, 0);
            thumbs << readAll(local(QStringLiteral("icon%1.jpg").arg(i)));
            QCOMPARE(QImage::fromData(thumbs.last()).size(), QSize(64, 36));
        }
        QVERIFY(thumbs.at(0) != thumbs.at(1) && thumbs.at(1) != thumbs.at(2) && thumbs.at(0) != thumbs.at(2));
        QCOMPARE(readAll(local("pic2.jpg")), one.cam->files().file(Slot2));
        QCOMPARE(one.dev->presentThumbnails(), 4u);  // thumbnail 2 counts any success

        for (unsigned bad : {0u, 3u, 64u})
            QVERIFY(!one.dev->requestImageDownload(bad));
        for (unsigned bad : {1u, 32u, 512u})
            QVERIFY(!one.dev->requestImageUpload(bad));

        QVERIFY(writeFile(local("pic2.jpg"), pattern(5000)));
        QVERIFY(one.dev->requestImageUpload(256));
        QVERIFY(waitFor([&] { return lastProgress() == 100; }));
        QCOMPARE(one.cam->files().file(Slot2), pattern(5000));

        const int before = doneList().size();
        one.cam->setTransferFaults(SimulatedFaults(QStringLiteral("garbage-info")));
        QVERIFY(one.dev->requestImageDownload(1));
        QVERIFY(waitFor([&] { return one.dev->pendingImageRequests() == 0 && doneList().size() >= before + 3; }));
        done = doneList().mid(before);
        QCOMPARE(done.size(), 3);
        QCOMPARE(done.last().second, -2);
    }

    // Using and deleting a picture shows in the status and the files.
    void imageReplace()
    {
        OneCamera one;
        QVERIFY(one.dev);
        QCOMPARE(one.dev->cameraSetImageReplace(0, 2), 0);
        QVERIFY(waitFor([&] { return one.cam->statusByte(CameraStatus::ReplaceImage) == 2; }));
        QCOMPARE(one.dev->cameraSetImageReplace(1, 2), 0);
        QVERIFY(waitFor([&] { return !one.cam->files().contains(Slot2); }));
        QCOMPARE(one.cam->statusByte(CameraStatus::ReplaceImage), quint8(0));
        QCOMPARE(one.dev->fileDownloadByUvc(local("deleted.jpg"), Slot2, true), -1);
    }
};

QTEST_MAIN(TestPictureTransfer)
#include "tst_picturetransfer.moc"
