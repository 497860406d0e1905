// The Linux backend on a fake sysfs tree with real-format USB descriptors,
// its ioctls answered by the test.
#include "TestWait.h"
#include "platform/CameraDevice.h"
#include "platform/LinuxCameraBackend.h"
#include "platform/LinuxCameraDevice.h"
#include "platform/LinuxIoctl.h"
#include "platform/UsbDescriptors.h"
#include "uvc/CameraFamily.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <mutex>
#include <thread>
#include <cstring>
#include <utility>
#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>

using namespace vexo::pc;

namespace {

using Sets = QList<QPair<quint32, int>>;

// One UVCIOC_CTRL_QUERY as the backend filled it in.
struct XuQuery
{
    int fd;
    int unit;
    int selector;
    int query;
    int size;
    QByteArray data; // what the buffer held when the call was made
};

class FakeIoctl : public LinuxIoctl
{
public:
    QList<XuQuery> queries;
    Sets sets;                                // S_CTRL and S_EXT_CTRLS, in order
    QHash<quint32, int> values;
    QHash<quint32, v4l2_queryctrl> ctrls;
    int extClass = 0;
    int xuUnit = 6;
    int xuError = 0;                          // next XU query fails with it
    int blockLen = 60;

    FakeIoctl()
    {
        addCtrl(V4L2_CID_BRIGHTNESS, 0, 255, 1, 128);
        addCtrl(V4L2_CID_EXPOSURE_ABSOLUTE, 3, 2047, 1, 156);
        addCtrl(V4L2_CID_EXPOSURE_AUTO, 0, 3, 1, 3);
        addCtrl(V4L2_CID_FOCUS_ABSOLUTE, 0, 1023, 1, 0);
        addCtrl(V4L2_CID_FOCUS_AUTO, 0, 1, 1, 1);
        addCtrl(V4L2_CID_PAN_ABSOLUTE, -612000, 612000, 3600, 0);
        addCtrl(V4L2_CID_POWER_LINE_FREQUENCY, 0, 3, 1, 1);
        values[V4L2_CID_EXPOSURE_AUTO] = 3;
    }

    void addCtrl(quint32 id, int mn, int mx, int step, int def)
    {
        v4l2_queryctrl q{};
        q.id = id;
        q.minimum = mn;
        q.maximum = mx;
        q.step = step;
        q.default_value = def;
        ctrls[id] = q;
    }

    int openNode(const QString &path) override
    {
        return path.endsWith(QLatin1String("video9")) ? -ENOENT : 42;
    }
    void closeNode(int) override {}

    int ioctl(int fd, unsigned long request, void *arg) override
    {
        if (request == UVCIOC_CTRL_QUERY) {
            auto *q = static_cast<uvc_xu_control_query *>(arg);
            queries.append({fd, q->unit, q->selector, q->query, q->size,
                            QByteArray(reinterpret_cast<const char *>(q->data), q->size)});
            if (xuError)
                return -std::exchange(xuError, 0);
            if (q->unit != xuUnit)
                return -ENOENT;
            if (q->query == UVC_GET_LEN) {
                q->data[0] = quint8(blockLen & 0xff);
                q->data[1] = quint8(blockLen >> 8);
            } else if (q->query == UVC_GET_CUR) {
                for (int i = 0; i < q->size; ++i)
                    q->data[i] = quint8(q->selector * 16 + i);
            }
            return 0;
        }
        if (request == VIDIOC_QUERYCTRL) {
            auto *q = static_cast<v4l2_queryctrl *>(arg);
            if (!ctrls.contains(q->id))
                return -EINVAL;
            *q = ctrls.value(q->id);
            return 0;
        }
        if (request == VIDIOC_G_CTRL || request == VIDIOC_S_CTRL) {
            auto *c = static_cast<v4l2_control *>(arg);
            if (!ctrls.contains(c->id))
                return -EINVAL;
            if (request == VIDIOC_G_CTRL) {
                c->value = values.value(c->id);
            } else {
                values[c->id] = c->value;
                sets.append({c->id, c->value});
            }
            return 0;
        }
        if (request == VIDIOC_S_EXT_CTRLS) {
            auto *e = static_cast<v4l2_ext_controls *>(arg);
            extClass = int(e->ctrl_class);
            for (quint32 i = 0; i < e->count; ++i)
                sets.append({e->controls[i].id, e->controls[i].value});
            return 0;
        }
        if (int r = video(request, arg); r != -ENOTTY)
            return r;
        return -ENOTTY;
    }

    // ---- a streaming MJPEG node with four 64 KiB buffers ----
    std::mutex streamLock;
    quint32 offeredFormat = V4L2_PIX_FMT_MJPEG;
    int formatError = 0;                      // S_FMT fails with it (EBUSY: in use)
    QList<QByteArray> frames;                 // waiting to be captured
    QByteArray memory[4];
    QList<int> queued;
    bool streaming = false;
    int fps = 0;

    int video(unsigned long request, void *arg)
    {
        std::lock_guard<std::mutex> locker(streamLock);
        switch (request) {
        case VIDIOC_S_FMT: {
            if (formatError)
                return -formatError;
            auto *f = static_cast<v4l2_format *>(arg);
            f->fmt.pix.pixelformat = offeredFormat;
            return 0;
        }
        case VIDIOC_S_PARM:
            fps = int(static_cast<v4l2_streamparm *>(arg)->parm.capture.timeperframe.denominator);
            return 0;
        case VIDIOC_REQBUFS:
            static_cast<v4l2_requestbuffers *>(arg)->count = qMin<quint32>(4, static_cast<v4l2_requestbuffers *>(arg)->count);
            return 0;
        case VIDIOC_QUERYBUF: {
            auto *b = static_cast<v4l2_buffer *>(arg);
            b->length = 65536;
            b->m.offset = b->index * 65536;
            return 0;
        }
        case VIDIOC_QBUF:
            queued.append(int(static_cast<v4l2_buffer *>(arg)->index));
            return 0;
        case VIDIOC_DQBUF: {
            if (frames.isEmpty() || queued.isEmpty())
                return -EAGAIN;
            auto *b = static_cast<v4l2_buffer *>(arg);
            b->index = quint32(queued.takeFirst());
            const QByteArray f = frames.takeFirst();
            std::memcpy(memory[b->index].data(), f.constData(), size_t(f.size()));
            b->bytesused = quint32(f.size());
            return 0;
        }
        case VIDIOC_STREAMON:
        case VIDIOC_STREAMOFF:
            streaming = request == VIDIOC_STREAMON;
            return 0;
        default:
            return -ENOTTY;
        }
    }

    void *mapBuffer(int, size_t length, long offset) override
    {
        std::lock_guard<std::mutex> locker(streamLock);
        QByteArray &m = memory[offset / 65536];
        m.resize(int(length));
        return m.data();
    }
    void unmapBuffer(void *, size_t) override {}
    int waitReadable(int, int) override
    {
        {
            std::lock_guard<std::mutex> locker(streamLock);
            if (!frames.isEmpty())
                return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    }
};

// fd, unit, selector, request and size of a query, for one comparison.
QList<int> shape(const XuQuery &q)
{
    return {q.fd, q.unit, q.selector, q.query, q.size};
}

const QByteArray OurGuidAsWritten = QByteArray::fromHex("9a1e7291684346836d9239bc7906ee49");

// A USB configuration of a UVC camera with two extension units: unit 3
// carries our GUID in plain (big-endian) order, which is not how USB stores
// it; unit 6 carries it in descriptor order.
QByteArray cameraDescriptors(bool withOurUnit = true)
{
    QByteArray d;
    d += QByteArray::fromHex("12010002ef0201405f3af2fe0001010203" "01");      // device
    d += QByteArray::fromHex("0902000102010080fa");                          // configuration
    d += QByteArray::fromHex("080b00020e030002");                            // interface association
    d += QByteArray::fromHex("09 04 00 00 01 0e 01 00 02");                  // video control
    d += QByteArray::fromHex("0d 24 01 00 01 4f 00 80 8d 5b 00 01 01");      // header
    d += QByteArray::fromHex("12 24 02 01 01 02 00 00 00 00 00 00 00 00 03 0e 20 00"); // camera
    d += QByteArray::fromHex("0b 24 05 02 01 00 00 02 7f 17 00");            // processing unit
    auto xu = [](int unit, const QByteArray &guid, int source) {
        QByteArray x = QByteArray::fromHex("1b2406");
        x += char(unit);
        x += guid;
        x += QByteArray::fromHex("08 01");
        x += char(source);
        x += QByteArray::fromHex("02ffff00");
        return x;
    };
    d += xu(3, OurGuidAsWritten, 2);
    if (withOurUnit)
        d += xu(6, UsbDescriptors::guidBytes(CameraDevice::extensionUnitGuid()), 3);
    d += QByteArray::fromHex("092403070101000600");                          // output terminal
    d += QByteArray::fromHex("07 05 83 03 10 00 06");                       // interrupt endpoint
    d += QByteArray::fromHex("0525031000");
    d += QByteArray::fromHex("09 04 01 00 00 0e 02 00 00");                  // video streaming
    d += QByteArray::fromHex("0b 24 06 01 01 01 01 00 00 00 00");            // MJPEG format
    return d;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

class TestLinuxBackend : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp_;
    QString sys_;
    QString dev_;

    // One USB device with its capture node (and optionally a metadata node).
    void addUsbCamera(const QString &usbName, const QStringList &nodes, const QString &vid, const QString &pid,
                      const QString &product, const QByteArray &descriptors)
    {
        const QString usb = sys_ + QStringLiteral("/devices/pci0000:00/usb1/") + usbName;
        QVERIFY(writeFile(usb + QStringLiteral("/idVendor"), vid.toLatin1() + '\n'));
        QVERIFY(writeFile(usb + QStringLiteral("/idProduct"), pid.toLatin1() + '\n'));
        QVERIFY(writeFile(usb + QStringLiteral("/product"), product.toUtf8() + '\n'));
        QVERIFY(writeFile(usb + QStringLiteral("/serial"), "SN" + usbName.toLatin1() + '\n'));
        QVERIFY(writeFile(usb + QStringLiteral("/descriptors"), descriptors));
        const QString iface = usb + QLatin1Char('/') + usbName + QStringLiteral(":1.0");
        for (int i = 0; i < nodes.size(); ++i) {
            const QString node = iface + QStringLiteral("/video4linux/") + nodes.at(i);
            QVERIFY(writeFile(node + QStringLiteral("/name"), product.toUtf8() + ": " + product.toUtf8() + '\n'));
            QVERIFY(writeFile(node + QStringLiteral("/index"), QByteArray::number(i) + '\n'));
            QVERIFY(QFile::link(iface, node + QStringLiteral("/device")));
            QVERIFY(QFile::link(node, sys_ + QStringLiteral("/class/video4linux/") + nodes.at(i)));
        }
    }

private slots:
    void initTestCase()
    {
        CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});
        QVERIFY(tmp_.isValid());
        sys_ = tmp_.path() + QStringLiteral("/sys");
        dev_ = tmp_.path() + QStringLiteral("/dev");
        QVERIFY(QDir().mkpath(sys_ + QStringLiteral("/class/video4linux")));
        addUsbCamera(QStringLiteral("1-2"), {QStringLiteral("video0"), QStringLiteral("video1")},
                     QStringLiteral("3a5f"), QStringLiteral("fef2"), QStringLiteral("KAVORA Zarvo"),
                     cameraDescriptors());
        addUsbCamera(QStringLiteral("1-3"), {QStringLiteral("video2")}, QStringLiteral("0bda"),
                     QStringLiteral("58f4"), QStringLiteral("Integrated Webcam"), cameraDescriptors(false));
        addUsbCamera(QStringLiteral("1-4"), {QStringLiteral("video10"), QStringLiteral("video11")},
                     QStringLiteral("3a60"), QStringLiteral("fef3"), QStringLiteral("UVC Camera"),
                     cameraDescriptors());
        // A node that is not on USB at all.
        QVERIFY(writeFile(sys_ + QStringLiteral("/class/video4linux/video4/name"), "vivid\n"));
    }

    void listsCaptureNodesWithNamesAndIds()
    {
        LinuxCameraBackend backend(sys_, dev_, std::make_shared<FakeIoctl>());
        VideoDeviceList list;
        QVERIFY(backend.listDevices(list));
        // A missing class folder is no camera, not a failure.
        VideoDeviceList none;
        QVERIFY(LinuxCameraBackend(dev_, dev_, std::make_shared<FakeIoctl>()).listDevices(none));
        QVERIFY(none.isEmpty());
        // Metadata nodes (index 1) are left out; numeric order.
        QCOMPARE(list.size(), 4);
        QCOMPARE(list.at(3).devicePath, dev_ + QStringLiteral("/video10"));
        QCOMPARE(list.at(0).friendlyName + QString::number(list.at(0).vendorId, 16) + list.at(0).serial,
                 QStringLiteral("KAVORA Zarvo3a5fSN1-2"));
        QCOMPARE(list.at(2).friendlyName, QStringLiteral("vivid"));

        QVERIFY(!CameraFamily::instance().isFamilyCamera(list.at(1))); // a webcam of another maker
        QVERIFY(CameraFamily::instance().isFamilyCamera(list.at(3)));  // by the ids read from sysfs
        QCOMPARE(backend.usbDeviceDir(dev_ + QStringLiteral("/video4")), QString());
    }

    void findsTheUnitByGuidInDescriptorOrder()
    {
        const QUuid guid = CameraDevice::extensionUnitGuid();
        QCOMPARE(UsbDescriptors::guidBytes(guid), QByteArray::fromHex("91721e9a436883466d9239bc7906ee49"));
        QCOMPARE(UsbDescriptors::findExtensionUnit(cameraDescriptors(), guid), 6);
        QCOMPARE(UsbDescriptors::findExtensionUnit(cameraDescriptors(false), guid), -1);
        // Cut inside our unit, or a zero length before it: not found, no hang.
        const QByteArray full = cameraDescriptors();
        const int at = full.indexOf(UsbDescriptors::guidBytes(guid));
        QCOMPARE(UsbDescriptors::findExtensionUnit(full.left(at + 8), guid), -1);
        QByteArray zero = full;
        zero[18] = 0;
        QCOMPARE(UsbDescriptors::findExtensionUnit(zero, guid), -1);
        // An extension unit outside a video-control interface does not count.
        QByteArray moved = full;
        moved[full.indexOf(QByteArray::fromHex("09 04 00 00 01 0e 01")) + 6] = 0x02;
        QCOMPARE(UsbDescriptors::findExtensionUnit(moved, guid), -1);
    }

    void extensionUnitQueriesAreFilledIn()
    {
        auto io = std::make_shared<FakeIoctl>();
        LinuxCameraBackend backend(sys_, dev_, io);
        QVERIFY(!backend.ownsPath(QStringLiteral("virtual:x")));
        auto cam = backend.open(dev_ + QStringLiteral("/video0"));
        QVERIFY(cam);
        QVERIFY(cam->xuInit());
        QCOMPARE(io->queries.size(), 1);
        QCOMPARE(shape(io->queries.at(0)), (QList<int>{42, 6, 2, UVC_GET_LEN, 2}));

        unsigned char block[60];
        for (int i = 0; i < 60; ++i)
            block[i] = quint8(0xA0 ^ i);
        QCOMPARE(cam->xuSet(2, block, 60), 60);
        QCOMPARE(shape(io->queries.last()), (QList<int>{42, 6, 2, UVC_SET_CUR, 60}));
        QCOMPARE(io->queries.last().data, QByteArray(reinterpret_cast<const char *>(block), 60));
        unsigned char in[60] = {};
        QCOMPARE(cam->xuGet(6, in, 60), 60);
        QCOMPARE(shape(io->queries.last()), (QList<int>{42, 6, 6, UVC_GET_CUR, 60}));
        QCOMPARE(in[59], quint8(0x60 + 59));

        io->xuError = EIO;
        QCOMPARE(cam->xuGet(2, in, 60), -1);
        QCOMPARE(cam->lastError(), EIO);
    }

    // Samples reach the callback byte for byte; a node in use or without
    // the format is refused with its error.
    void capturesMjpegSamples()
    {
        auto io = std::make_shared<FakeIoctl>();
        LinuxCameraBackend backend(sys_, dev_, io);
        auto cam = backend.open(dev_ + QStringLiteral("/video0"));
        std::mutex lock;
        QList<QByteArray> got;
        const CameraDevice::CaptureFormat format;
        QVERIFY(cam->startCapture(format, [&](const uchar *d, int n, qint64) {
            std::lock_guard<std::mutex> locker(lock);
            got.append(QByteArray(reinterpret_cast<const char *>(d), n));
        }));
        QCOMPARE(io->fps, 30);
        const QList<QByteArray> sent = {QByteArray(70, 'a'), QByteArray::fromHex("ffd8ffd9"), QByteArray(65536, 'z')};
        {
            std::lock_guard<std::mutex> locker(io->streamLock);
            io->frames = sent;
        }
        QVERIFY(testsupport::waitFor([&] {
            std::lock_guard<std::mutex> locker(lock);
            return got.size() == 3;
        }));
        QCOMPARE(got, sent);
        QVERIFY(!cam->startCapture(format, {}));
        QCOMPARE(cam->lastError(), EBUSY);
        cam->stopCapture();
        QVERIFY(!io->streaming);

        io->formatError = EBUSY;
        QVERIFY(!cam->startCapture(format, {}));
        QCOMPARE(cam->lastError(), EBUSY);
        io->formatError = 0;
        io->offeredFormat = V4L2_PIX_FMT_YUYV;
        QVERIFY(!cam->startCapture(format, {}));
        QCOMPARE(cam->lastError(), EINVAL);
    }

    void wrongUnitIsRefused()
    {
        auto io = std::make_shared<FakeIoctl>();
        io->blockLen = 16;
        LinuxCameraBackend backend(sys_, dev_, io);
        auto cam = backend.open(dev_ + QStringLiteral("/video0"));
        QVERIFY(cam);
        QTest::ignoreMessage(QtWarningMsg, "Extension unit 6 has block length 16");
        QVERIFY(!cam->xuInit());
        QCOMPARE(cam->lastError(), ENOBUFS);

        // A camera without our unit: the lazy look-up fails the transfer.
        auto other = backend.open(dev_ + QStringLiteral("/video2"));
        unsigned char block[60] = {};
        QCOMPARE(other->xuSet(2, block, 60), -1);
        QCOMPARE(other->lastError(), ENOENT);
        QVERIFY(!backend.open(dev_ + QStringLiteral("/video9")));
    }

    void controlsMapOntoV4l2()
    {
        using C = CameraDevice::Control;
        auto io = std::make_shared<FakeIoctl>();
        auto cam = LinuxCameraBackend(sys_, dev_, io).open(dev_ + QStringLiteral("/video0"));
        CameraDevice::Range r;
        QVERIFY(cam->controlRange(C::Brightness, r));
        QCOMPARE((QList<int>{r.minimum, r.maximum, r.step, r.defaultValue, r.flags}),
                 (QList<int>{0, 255, 1, 128, CameraDevice::FlagManual}));
        QVERIFY(cam->controlRange(C::Focus, r));
        QCOMPARE(r.flags, int(CameraDevice::FlagManual | CameraDevice::FlagAuto));
        QVERIFY(!cam->controlRange(C::Hue, r));
        QCOMPARE(cam->lastError(), EINVAL);

        // A write and the driver controls it sets, in order: an automatic
        // companion goes off before a manual value.
        auto sets = [&](C c, int value, int flags) {
            io->sets.clear();
            return cam->controlSet(c, value, flags) ? io->sets : Sets{{0, -1}};
        };
        QCOMPARE(sets(C::Exposure, 300, CameraDevice::FlagManual),
                 (Sets{{V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL}, {V4L2_CID_EXPOSURE_ABSOLUTE, 300}}));
        QCOMPARE(sets(C::Exposure, 0, CameraDevice::FlagAuto),
                 (Sets{{V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY}}));
        int value = 0, flags = 0;
        QVERIFY(cam->controlGet(C::Exposure, value, flags));
        QCOMPARE(flags, int(CameraDevice::FlagAuto));
        QCOMPARE(sets(C::Focus, 40, CameraDevice::FlagManual),
                 (Sets{{V4L2_CID_FOCUS_AUTO, 0}, {V4L2_CID_FOCUS_ABSOLUTE, 40}}));
        QCOMPARE(sets(C::Brightness, 99, CameraDevice::FlagNone), (Sets{{V4L2_CID_BRIGHTNESS, 99}}));
        QCOMPARE(sets(C::Brightness, 0, CameraDevice::FlagAuto), (Sets{{0, -1}})); // it has no automatic mode

        // The power-line frequency's own value 3 is its automatic mode.
        QVERIFY(cam->controlRange(C::PowerLineFrequency, r));
        QCOMPARE(r.maximum, 2);
        QCOMPARE(r.flags, int(CameraDevice::FlagManual | CameraDevice::FlagAuto));
        QCOMPARE(sets(C::PowerLineFrequency, 0, CameraDevice::FlagAuto), (Sets{{V4L2_CID_POWER_LINE_FREQUENCY, 3}}));
        QVERIFY(cam->controlGet(C::PowerLineFrequency, value, flags));
        QCOMPARE(flags, int(CameraDevice::FlagAuto));
        QCOMPARE(sets(C::PowerLineFrequency, 1, CameraDevice::FlagManual), (Sets{{V4L2_CID_POWER_LINE_FREQUENCY, 1}}));

        io->sets.clear();
        QVERIFY(cam->panTiltSet(36000, -7200, CameraDevice::FlagManual));
        QCOMPARE(io->extClass, int(V4L2_CTRL_CLASS_CAMERA));
        QCOMPARE(io->sets, (Sets{{V4L2_CID_PAN_ABSOLUTE, 36000}, {V4L2_CID_TILT_ABSOLUTE, -7200}}));
    }
};

QTEST_GUILESS_MAIN(TestLinuxBackend)
#include "tst_linuxbackend.moc"
