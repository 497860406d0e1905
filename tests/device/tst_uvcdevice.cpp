// The message engine of a camera against the virtual camera: synchronous
// requests with their one resend, asynchronous and direct writes, delivery
// to slots, status polling, and what damaged answers and vanishing cameras do.
#include "DeviceTestSupport.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <atomic>
#include <thread>

using namespace vexo::pc;
using namespace devtest;

namespace {

ProtocolMsg::FrmPacket versionRequest()
{
    return ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, 16);
}

quint16 seqOf(const QByteArray &block)
{
    return quint16((quint8(block.at(4)) << 8) | quint8(block.at(5)));
}

} // namespace

class SlotSink : public QObject
{
    Q_OBJECT
public:
    std::atomic<int> calls{0};
    int last = -1;
    QList<int> ai;
    float aiValue = 0;

public slots:
    void onValue(int v)
    {
        last = v;
        ++calls;
    }
    void onAi(int a, int b, int c, int d, float f)
    {
        ai = {a, b, c, d};
        aiValue = f;
        ++calls;
    }
};

class TestUvcDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFamily(); }

    void syncRequestIsAnswered()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setVersion(0x01020304);
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        for (int i = 0; i < 3; ++i) {
            auto f = versionRequest();
            QByteArray answer;
            QCOMPARE(dev->sendMsgSync(f, answer), UvcDevice::NoError);
            // A 17-byte answer frame carries 17 - 13 data bytes.
            QCOMPARE(answer, QByteArray::fromHex("04030201"));
        }
        const auto frames = cam->receivedFrames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames.at(1).seq, quint16(frames.at(0).seq + 1));
        QCOMPARE(frames.at(0).route, quint8(0xE8));
        QVERIFY(frames.at(0).flags & ProtocolMsg::FlagWantAnswer);
        QCOMPARE(dev->queuedPackets(), 0);
    }

    void lostFirstWriteIsResentWithSameSeq()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        cam->loseWrites(1);
        auto f = versionRequest();
        QByteArray answer;
        QElapsedTimer t;
        t.start();
        QCOMPARE(dev->sendMsgSync(f, answer), UvcDevice::NoError);
        QVERIFY(t.elapsed() >= TimeScale::ms(1000));
        QCOMPARE(answer.size(), 4);
        const auto blocks = cam->blocksWritten(2);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(seqOf(blocks.at(0)), seqOf(blocks.at(1)));
        QCOMPARE(blocks.at(0), blocks.at(1));
        QCOMPARE(cam->receivedFrames().size(), 1);
    }

    void resultCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expected");
        QTest::newRow("device error") << 1 << int(UvcDevice::DevError);
        QTest::newRow("camera timeout") << 5 << int(UvcDevice::Timeout);
        QTest::newRow("other code") << 7 << int(UvcDevice::DevError);
    }

    void resultCodes()
    {
        QFETCH(int, code);
        QFETCH(int, expected);
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        cam->setResultCode(8, 16, code);
        auto f = versionRequest();
        QByteArray answer;
        QCOMPARE(int(dev->sendMsgSync(f, answer)), expected);
        // Answered at once: no resend.
        QCOMPARE(cam->writeCount(2), 1);
    }

    void silentCameraTimesOutAfterOneResend()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        cam->setSilent(true);
        auto f = versionRequest();
        QByteArray answer;
        QElapsedTimer t;
        t.start();
        QCOMPARE(dev->sendMsgSync(f, answer), UvcDevice::Timeout);
        QVERIFY(t.elapsed() >= 2 * TimeScale::ms(1000));
        QVERIFY(t.elapsed() < 20 * TimeScale::ms(1000));
        const auto blocks = cam->blocksWritten(2);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(seqOf(blocks.at(0)), seqOf(blocks.at(1)));
        QCOMPARE(dev->queuedPackets(), 0);
    }

    void frameLengthLimit()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);

        ProtocolMsg::FrmPacket tooLong = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        tooLong.lenVer = 61;
        QTest::ignoreMessage(QtWarningMsg, "Data len 61 > uvc max payload len 60");
        QCOMPARE(dev->sendMsgAsync(tooLong, false), UvcDevice::DataTooLong);
        QCOMPARE(dev->queuedPackets(), 0);
        QByteArray answer;
        QTest::ignoreMessage(QtWarningMsg, "Data len 61 > uvc max payload len 60");
        QCOMPARE(dev->sendMsgSync(tooLong, answer), UvcDevice::DataTooLong);
        QCOMPARE(dev->queuedPackets(), 0);

        // Only this one reaches the camera.
        ProtocolMsg::FrmPacket full = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        QCOMPARE(ProtocolMsg::frameLength(full), 60);
        QCOMPARE(dev->sendMsgAsync(full, false), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return cam->receivedFrames().size() == 1; }));
        QCOMPARE(cam->receivedFrames().at(0).payload.size(), 48);
    }

    void refusedWhenNotOpenOrNetworked()
    {
        Rig rig;
        auto cam = rig.addCamera();
        DevDescription d;
        d.devicePath = cam->devicePath();
        UvcDevice closed(d, &rig.platform, UvcDevice::DevModeUvc);
        auto f = versionRequest();
        QByteArray answer;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^uvc device: .* not open yet!$")));
        QCOMPARE(closed.sendMsgSync(f, answer), UvcDevice::DevNotOpen);

        UvcDevice net(d, &rig.platform, UvcDevice::DevModeNet);
        QCOMPARE(net.open(), 0);
        QTest::ignoreMessage(QtWarningMsg, "Net mode not supported");
        QCOMPARE(net.sendMsgAsync(f, false), UvcDevice::NetModeNotSupported);
        QCOMPARE(cam->writeCount(2), 0);
    }

    void asyncRequestsAreWrittenAndDropped()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        auto sleep = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0103"));
        QCOMPARE(dev->sendMsgAsync(sleep, false), UvcDevice::NoError);
        auto wake = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0101"), false);
        QCOMPARE(dev->sendMsgAsync(wake, true), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return cam->receivedFrames().size() == 2; }));
        const auto frames = cam->receivedFrames();
        QVERIFY(!(frames.at(0).flags & ProtocolMsg::FlagWantAnswer));
        QVERIFY(frames.at(1).flags & ProtocolMsg::FlagWantAnswer);
        QCOMPARE(quint8(cam->statusBlock().at(2)), quint8(1));
        // Nobody waits for the answer the second one asked for.
        QVERIFY(waitFor([&] { return dev->queuedPackets() == 0; }));
    }

    void directWrites()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        auto f = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0103"), false);
        QCOMPARE(dev->sendMsgAsyncDirectly(f), UvcDevice::NoError);
        // Written from this thread: there already, nothing queued.
        QCOMPARE(cam->receivedFrames().size(), 1);
        QCOMPARE(quint8(cam->statusBlock().at(2)), quint8(3));
        // The caller's frame stays in host order.
        QCOMPARE(ProtocolMsg::frameLength(f), 14);

        cam->failWrites(2, 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("KsProperty failed, Error: 5 60")));
        QTest::ignoreMessage(QtWarningMsg, "UVC_SET failed, expected len 60 != sended len -1, retry");
        QCOMPARE(dev->sendMsgAsyncDirectly(f), UvcDevice::SendFailed);
    }

    void nonBlockingAnswerReachesSlot()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        SlotSink sink;
        cam->setStatusByte(23, 1);
        auto f = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(dev->sendMsgSyncNonBlock(f, QSharedPointer<QString>::create(QStringLiteral("onValue")), &sink),
                 UvcDevice::NoError);
        QVERIFY(waitFor([&] { return sink.calls.load() == 1; }));
        QCOMPARE(sink.last, 1);
        QCOMPARE(dev->queuedPackets(), 0);
    }

    void nonBlockingErrorIsNotDelivered()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        SlotSink sink;
        cam->setResultCode(1, 466, 1);
        QTest::ignoreMessage(QtWarningMsg, "Error response = 1 in cmd set Camera, cmd id GET_CAMERA_FACEFOCUS");
        auto f = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(dev->sendMsgSyncNonBlock(f, QSharedPointer<QString>::create(QStringLiteral("onValue")), &sink),
                 UvcDevice::NoError);
        QVERIFY(waitFor([&] { return dev->queuedPackets() == 0; }));
        // Deliveries keep their order: the next answer is the first one.
        cam->setResultCode(1, 466, -1);
        auto again = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(dev->sendMsgSyncNonBlock(again, QSharedPointer<QString>::create(QStringLiteral("onValue")), &sink),
                 UvcDevice::NoError);
        QVERIFY(waitFor([&] { return sink.calls.load() > 0; }));
        QCOMPARE(sink.calls.load(), 1);
    }

    void nonBlockingWithoutAnswerIsDroppedAfter50Cycles()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        SlotSink sink;
        cam->setSilent(true);
        auto f = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(dev->sendMsgSyncNonBlock(f, QSharedPointer<QString>::create(QStringLiteral("onValue")), &sink),
                 UvcDevice::NoError);
        QVERIFY(waitFor([&] { return cam->writeCount(2) == 1; }));
        const int readsBefore = cam->readCount(2);
        QVERIFY(waitFor([&] { return dev->queuedPackets() == 0; }));
        // Polled for the answer about 48 times (from age 2 to 49), never resent.
        QVERIFY(cam->readCount(2) - readsBefore >= 40);
        QCOMPARE(cam->writeCount(2), 1);
        QCOMPARE(sink.calls.load(), 0);
    }

    void aiStatusDecodedAlikeOnBothPaths()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        // The third and fourth values know only 0..2: 5 and 200 mean none.
        cam->setAiStatus(1, 2, 5, 200, 1.5f);
        AiStatus ai;
        QCOMPARE(dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), 0);
        QCOMPARE((QList<int>{ai.first, ai.second, ai.third, ai.fourth, ai.fifth}), (QList<int>{1, 2, 0, 0, 200}));
        QCOMPARE(ai.value, 1.5f);
        SlotSink sink;
        QCOMPARE(dev->aiGetAiStatus(nullptr, QSharedPointer<QString>::create(QStringLiteral("onAi")), &sink,
                                    UvcDevice::GetNonBlocking),
                 0);
        QVERIFY(waitFor([&] { return sink.calls.load() == 1; }));
        QCOMPARE(sink.ai, (QList<int>{1, 2, 0, 0}));
        QCOMPARE(sink.aiValue, 1.5f);

        QCOMPARE(dev->aiGetAiStatus(nullptr, {}, nullptr, UvcDevice::GetBlocking), -1);
        cam->queueAnswerFaults({VirtualCamera::AnswerFault::ShortData});
        QTest::ignoreMessage(QtWarningMsg, "AI status length error, received length is 37");
        QCOMPARE(dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), -1);
    }

    void damagedAnswers_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("writes");
        using F = VirtualCamera::AnswerFault;
        QTest::newRow("bad sync") << int(F::BadSync) << QString() << 2;
        QTest::newRow("11 bytes") << int(F::TooShort) << QString() << 2;
        QTest::newRow("length beyond block") << int(F::BadLength) << QStringLiteral("^Msg check failed, ret_val = 3$") << 2;
        QTest::newRow("header checksum") << int(F::BadHeaderCrc) << QStringLiteral("^Msg check failed, ret_val = 4$") << 2;
        QTest::newRow("frame checksum") << int(F::BadCrc) << QStringLiteral("^Msg check failed, ret_val = 5$") << 2;
        QTest::newRow("receiver") << int(F::WrongReceiver) << QStringLiteral("^Invalid receiver: 1$") << 2;
        QTest::newRow("not an answer") << int(F::NotAnswer) << QStringLiteral("^Req frame is not supported at present$") << 2;
        QTest::newRow("unknown seq") << int(F::UnknownSeq) << QString() << 2;
        QTest::newRow("read error") << int(F::ReadError) << QStringLiteral("^UVC_GET failed:  -1$") << 2;
        QTest::newRow("lost answer") << int(F::Drop) << QString() << 2;
        QTest::newRow("version 2") << int(F::Version2) << QString() << 1;
    }

    void damagedAnswers()
    {
        QFETCH(int, fault);
        QFETCH(QString, warning);
        QFETCH(int, writes);
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        cam->queueAnswerFaults({VirtualCamera::AnswerFault(fault)});
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        if (fault == int(VirtualCamera::AnswerFault::ReadError))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("KsProperty failed. Error: 5")));
        auto f = versionRequest();
        QByteArray answer;
        // The damaged answer is dropped; the resend gets a good one.
        QCOMPARE(dev->sendMsgSync(f, answer), UvcDevice::NoError);
        QCOMPARE(answer.size(), 4);
        QCOMPARE(cam->writeCount(2), writes);
    }

    void statusPollEmitsEvenWhenUnchanged()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, true);
        QVERIFY(dev);
        QList<CameraStatus> seen;
        connect(dev.get(), &UvcDevice::devStateUpdate, this,
                [&](const CameraStatus &s) { seen.append(s); });
        const int polls = cam->readCount(6);
        dev->setStatusPollCount(95);
        QVERIFY(waitFor([&] { return cam->readCount(6) > polls; }));
        QCoreApplication::processEvents();
        QVERIFY(seen.isEmpty()); // the switch is off

        cam->setStatusByte(2, 3);
        dev->setStatusSignalEnabled(true);
        dev->setStatusPollCount(99);
        QVERIFY(waitFor([&] { return seen.size() >= 2; }, 10000));
        QCOMPARE(seen.at(0), seen.at(1));
        QCOMPARE(seen.at(0).runState(), 3);
        QCOMPARE(seen.at(0).byte(60), quint8(0));
        QCOMPARE(dev->cachedStatus(), seen.at(0));
    }

    void cameraVanishesMidRequest()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, true);
        QVERIFY(dev);
        cam->setAnswerLatency(1000000);
        const int writesBefore = cam->writeCount(2);
        UvcDevice::ErrorType result = UvcDevice::NoError;
        QElapsedTimer t;
        t.start();
        std::thread caller([&] {
            auto f = versionRequest();
            QByteArray answer;
            result = dev->sendMsgSync(f, answer);
        });
        QVERIFY(waitFor([&] { return cam->writeCount(2) == writesBefore + 1; }));
        cam->unplug();
        caller.join();
        QCOMPARE(result, UvcDevice::Timeout);
        QVERIFY(t.elapsed() < 20 * TimeScale::ms(1000));
        // The device fails calmly from now on.
        unsigned char block[60] = {};
        QCOMPARE(dev->uvc_xu_get(6, block, 60), -1);
        CameraStatus s;
        QTest::ignoreMessage(QtWarningMsg, "Invalid ret_val = -1");
        QVERIFY(!dev->getCameraStatus(s));
    }

    void upgradeModeWriteAfterUnplug()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        dev->setDevMode(UvcDevice::DevModeUpgrade);
        unsigned char block[60] = {5, 1};
        QCOMPARE(dev->uvc_xu_set(5, block, 60), 60);
        dev->setPresent(false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Device not present: ")));
        QCOMPARE(dev->uvc_xu_set(5, block, 60), -1);
        QCOMPARE(cam->writeCount(5), 1);
    }

    void concurrentCallers()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        std::atomic<int> ok{0};
        std::vector<std::thread> callers;
        for (int i = 0; i < 4; ++i) {
            callers.emplace_back([&] {
                for (int n = 0; n < 8; ++n) {
                    auto f = versionRequest();
                    QByteArray answer;
                    if (dev->sendMsgSync(f, answer) == UvcDevice::NoError && answer.size() == 4)
                        ++ok;
                    auto a = ProtocolMsg::makeRequest(1, 978, QByteArray(1, '\1'), false);
                    dev->sendMsgAsync(a, false);
                }
            });
        }
        for (auto &c : callers)
            c.join();
        QCOMPARE(ok.load(), 32);
        QVERIFY(waitFor([&] { return dev->queuedPackets() == 0; }));
        QCOMPARE(cam->receivedFrames().size(), 64);
    }
};

QTEST_MAIN(TestUvcDevice)
#include "tst_uvcdevice.moc"
