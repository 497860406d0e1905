// The message engine of a camera against the virtual camera: synchronous
// requests with their one resend, asynchronous and direct writes, delivery
// to slots, status polling, and what damaged answers and vanishing cameras do.
#include "DeviceTestSupport.h"

#include <QRegularExpression>

#include <atomic>
#include <thread>

using namespace vexo::pc;
using namespace devtest;

namespace {

UvcDevice::ErrorType askVersion(UvcDevice &dev, QByteArray *answer = nullptr)
{
    auto f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, 16);
    QByteArray a;
    const UvcDevice::ErrorType r = dev.sendMsgSync(f, a);
    if (answer)
        *answer = a;
    return r;
}

QSharedPointer<QString> slot(const char *name)
{
    return QSharedPointer<QString>::create(QLatin1String(name));
}

} // namespace

class SlotSink : public QObject
{
    Q_OBJECT
public:
    std::atomic<int> calls{0};
    QList<int> values;
    float aiValue = 0;

public slots:
    void onValue(int v)
    {
        values = {v};
        ++calls;
    }
    void onAi(int a, int b, int c, int d, float f)
    {
        values = {a, b, c, d};
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
        OneCamera c(OneCamera::OpenOnly);
        c.cam->setVersion(0x01020304);
        for (int i = 0; i < 3; ++i) {
            QByteArray answer;
            QCOMPARE(askVersion(*c.dev, &answer), UvcDevice::NoError);
            // A 17-byte answer frame carries 17 - 13 data bytes.
            QCOMPARE(answer, QByteArray::fromHex("04030201"));
        }
        const auto frames = c.cam->receivedFrames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames.at(1).seq, quint16(frames.at(0).seq + 1));
        QCOMPARE(frames.at(0).route, quint8(0xE8));
        QVERIFY(frames.at(0).flags & ProtocolMsg::FlagWantAnswer);
        QCOMPARE(c.dev->queuedPackets(), 0);
    }

    void resendAndTimeout_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("first write lost") << false;
        QTest::newRow("camera silent") << true;
    }

    void resendAndTimeout()
    {
        QFETCH(bool, silent);
        OneCamera c(OneCamera::OpenOnly);
        c.cam->loseWrites(1);
        c.cam->setSilent(silent);
        QElapsedTimer t;
        t.start();
        QByteArray answer;
        QCOMPARE(askVersion(*c.dev, &answer), silent ? UvcDevice::Timeout : UvcDevice::NoError);
        QVERIFY(t.elapsed() >= TimeScale::ms(silent ? 2000 : 1000));
        QCOMPARE(answer.size(), silent ? 0 : 4);
        // Written twice with the same seq, then left.
        const auto blocks = c.cam->blocksWritten(2);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks.at(0), blocks.at(1));
        QCOMPARE(c.cam->receivedFrames().size(), silent ? 0 : 1);
        QCOMPARE(c.dev->queuedPackets(), 0);
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
        OneCamera c(OneCamera::OpenOnly);
        c.cam->setResultCode(8, 16, code);
        QCOMPARE(int(askVersion(*c.dev)), expected);
        QCOMPARE(c.cam->writeCount(2), 1); // answered at once: no resend
    }

    void refusedFrames()
    {
        OneCamera c(OneCamera::OpenOnly);
        ProtocolMsg::FrmPacket tooLong = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        tooLong.lenVer = 61;
        QTest::ignoreMessage(QtWarningMsg, "Data len 61 > uvc max payload len 60");
        QCOMPARE(c.dev->sendMsgAsync(tooLong, false), UvcDevice::DataTooLong);
        QByteArray answer;
        QTest::ignoreMessage(QtWarningMsg, "Data len 61 > uvc max payload len 60");
        QCOMPARE(c.dev->sendMsgSync(tooLong, answer), UvcDevice::DataTooLong);
        QCOMPARE(c.dev->queuedPackets(), 0);
        // 60 bytes fit, and only this frame reaches the camera.
        ProtocolMsg::FrmPacket full = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        QCOMPARE(c.dev->sendMsgAsync(full, false), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.cam->receivedFrames().size() == 1; }));
        QCOMPARE(c.cam->receivedFrames().at(0).payload.size(), 48);

        DevDescription d;
        d.devicePath = c.cam->devicePath();
        UvcDevice closed(d, &c.platform, UvcDevice::DevModeUvc);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^uvc device: .* not open yet!$")));
        QCOMPARE(askVersion(closed), UvcDevice::DevNotOpen);
        UvcDevice net(d, &c.platform, UvcDevice::DevModeNet);
        QCOMPARE(net.open(), 0);
        QTest::ignoreMessage(QtWarningMsg, "Net mode not supported");
        QCOMPARE(net.sendMsgAsync(full, false), UvcDevice::NetModeNotSupported);
        QCOMPARE(c.cam->writeCount(2), 1);
    }

    void asyncAndDirectWrites()
    {
        OneCamera c(OneCamera::OpenOnly);
        auto sleep = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0103"));
        QCOMPARE(c.dev->sendMsgAsync(sleep, false), UvcDevice::NoError);
        auto wake = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0101"), false);
        QCOMPARE(c.dev->sendMsgAsync(wake, true), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.cam->receivedFrames().size() == 2; }));
        QVERIFY(!(c.cam->receivedFrames().at(0).flags & ProtocolMsg::FlagWantAnswer));
        QVERIFY(c.cam->receivedFrames().at(1).flags & ProtocolMsg::FlagWantAnswer);
        // Nobody waits for the answer the second one asked for.
        QVERIFY(waitFor([&] { return c.dev->queuedPackets() == 0; }));

        auto f = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0103"), false);
        QCOMPARE(c.dev->sendMsgAsyncDirectly(f), UvcDevice::NoError);
        // Written from this thread: there already; the caller's frame stays
        // in host order.
        QCOMPARE(c.cam->receivedFrames().size(), 3);
        QCOMPARE(ProtocolMsg::frameLength(f), 14);
        c.cam->failWrites(2, 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("KsProperty failed, Error: 5 60")));
        QTest::ignoreMessage(QtWarningMsg, "UVC_SET failed, expected len 60 != sended len -1, retry");
        QCOMPARE(c.dev->sendMsgAsyncDirectly(f), UvcDevice::SendFailed);
    }

    void nonBlockingDelivery()
    {
        OneCamera c(OneCamera::OpenOnly);
        SlotSink sink;
        c.cam->setStatusByte(23, 1);
        // An error answer is logged and not delivered; deliveries keep their
        // order, so the next call of the slot is the second request's.
        c.cam->setResultCode(1, 466, 1);
        QTest::ignoreMessage(QtWarningMsg, "Error response = 1 in cmd set Camera, cmd id GET_CAMERA_FACEFOCUS");
        auto refused = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(c.dev->sendMsgSyncNonBlock(refused, slot("onValue"), &sink), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.dev->queuedPackets() == 0; }));
        c.cam->setResultCode(1, 466, -1);
        auto f = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(c.dev->sendMsgSyncNonBlock(f, slot("onValue"), &sink), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return sink.calls.load() > 0; }));
        QCOMPARE(sink.calls.load(), 1);
        QCOMPARE(sink.values, QList<int>{1});

        // Without an answer the packet is dropped after 50 cycles, never resent.
        c.cam->setSilent(true);
        auto lost = ProtocolMsg::makeRequest(1, 466);
        QCOMPARE(c.dev->sendMsgSyncNonBlock(lost, slot("onValue"), &sink), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.cam->writeCount(2) == 3; }));
        const int readsBefore = c.cam->readCount(2);
        QVERIFY(waitFor([&] { return c.dev->queuedPackets() == 0; }));
        QVERIFY(c.cam->readCount(2) - readsBefore >= 40); // polled from age 2 to 49
        QCOMPARE(c.cam->writeCount(2), 3);
        QCOMPARE(sink.calls.load(), 1);
    }

    void aiStatusDecodedAlikeOnBothPaths()
    {
        OneCamera c;
        // The third and fourth values know only 0..2: 5 and 200 mean none.
        c.cam->setAiStatus(1, 2, 5, 200, 1.5f);
        AiStatus ai;
        QCOMPARE(c.dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), 0);
        QCOMPARE((QList<int>{ai.first, ai.second, ai.third, ai.fourth, ai.fifth}), (QList<int>{1, 2, 0, 0, 200}));
        QCOMPARE(ai.value, 1.5f);
        SlotSink sink;
        QCOMPARE(c.dev->aiGetAiStatus(nullptr, slot("onAi"), &sink, UvcDevice::GetNonBlocking), 0);
        QVERIFY(waitFor([&] { return sink.calls.load() == 1; }));
        QCOMPARE(sink.values, (QList<int>{1, 2, 0, 0}));
        QCOMPARE(sink.aiValue, 1.5f);

        QCOMPARE(c.dev->aiGetAiStatus(nullptr, {}, nullptr, UvcDevice::GetBlocking), -1);
        c.cam->queueAnswerFaults({VirtualCamera::AnswerFault::ShortData});
        QTest::ignoreMessage(QtWarningMsg, "AI status length error, received length is 37");
        QCOMPARE(c.dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), -1);
    }

    void damagedAnswers_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("warning");
        using F = VirtualCamera::AnswerFault;
        QTest::newRow("bad sync") << int(F::BadSync) << QString();
        QTest::newRow("11 bytes") << int(F::TooShort) << QString();
        QTest::newRow("length beyond block") << int(F::BadLength) << QStringLiteral("^Msg check failed, ret_val = 3$");
        QTest::newRow("header checksum") << int(F::BadHeaderCrc) << QStringLiteral("^Msg check failed, ret_val = 4$");
        QTest::newRow("frame checksum") << int(F::BadCrc) << QStringLiteral("^Msg check failed, ret_val = 5$");
        QTest::newRow("receiver") << int(F::WrongReceiver) << QStringLiteral("^Invalid receiver: 1$");
        QTest::newRow("not an answer") << int(F::NotAnswer) << QStringLiteral("^Req frame is not supported at present$");
        QTest::newRow("unknown seq") << int(F::UnknownSeq) << QString();
        QTest::newRow("read error") << int(F::ReadError) << QStringLiteral("^UVC_GET failed:  -1$");
        QTest::newRow("lost answer") << int(F::Drop) << QString();
        QTest::newRow("version 2 is good") << int(F::Version2) << QString();
    }

    void damagedAnswers()
    {
        QFETCH(int, fault);
        QFETCH(QString, warning);
        OneCamera c(OneCamera::OpenOnly);
        c.cam->queueAnswerFaults({VirtualCamera::AnswerFault(fault)});
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        if (fault == int(VirtualCamera::AnswerFault::ReadError))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("KsProperty failed. Error: 5")));
        // The damaged answer is dropped; the resend gets a good one.
        QByteArray answer;
        QCOMPARE(askVersion(*c.dev, &answer), UvcDevice::NoError);
        QCOMPARE(answer.size(), 4);
        QCOMPARE(c.cam->writeCount(2), fault == int(VirtualCamera::AnswerFault::Version2) ? 1 : 2);
    }

    void statusPollEmitsEvenWhenUnchanged()
    {
        OneCamera c;
        QList<CameraStatus> seen;
        connect(c.dev.get(), &UvcDevice::devStateUpdate, this, [&](const CameraStatus &s) { seen.append(s); });
        const int polls = c.cam->readCount(6);
        c.dev->setStatusPollCount(95);
        QVERIFY(waitFor([&] { return c.cam->readCount(6) > polls; }));
        QCoreApplication::processEvents();
        QVERIFY(seen.isEmpty()); // the switch is off

        c.cam->setStatusByte(2, 3);
        c.dev->setStatusSignalEnabled(true);
        c.dev->setStatusPollCount(99);
        QVERIFY(waitFor([&] { return seen.size() >= 2; }, 10000));
        QCOMPARE(seen.at(0), seen.at(1));
        QCOMPARE(seen.at(0).runState(), 3);
        QCOMPARE(c.dev->cachedStatus(), seen.at(0));
    }

    void cameraVanishesMidRequest()
    {
        OneCamera c;
        c.cam->setAnswerLatency(1000000);
        const int writesBefore = c.cam->writeCount(2);
        UvcDevice::ErrorType result = UvcDevice::NoError;
        std::thread caller([&] { result = askVersion(*c.dev); });
        QVERIFY(waitFor([&] { return c.cam->writeCount(2) == writesBefore + 1; }));
        c.cam->unplug();
        caller.join();
        QCOMPARE(result, UvcDevice::Timeout);
        // The device fails calmly from now on.
        CameraStatus s;
        QTest::ignoreMessage(QtWarningMsg, "Invalid ret_val = -1");
        QVERIFY(!c.dev->getCameraStatus(s));
    }

    void upgradeModeWriteAfterUnplug()
    {
        OneCamera c(OneCamera::OpenOnly);
        c.dev->setDevMode(UvcDevice::DevModeUpgrade);
        unsigned char block[60] = {5, 1};
        QCOMPARE(c.dev->uvc_xu_set(5, block, 60), 60);
        c.dev->setPresent(false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Device not present: ")));
        QCOMPARE(c.dev->uvc_xu_set(5, block, 60), -1);
        QCOMPARE(c.cam->writeCount(5), 1);
    }

    void concurrentCallers()
    {
        OneCamera c(OneCamera::OpenOnly);
        std::atomic<int> ok{0};
        std::vector<std::thread> callers;
        for (int i = 0; i < 4; ++i) {
            callers.emplace_back([&] {
                for (int n = 0; n < 8; ++n) {
                    QByteArray answer;
                    if (askVersion(*c.dev, &answer) == UvcDevice::NoError && answer.size() == 4)
                        ++ok;
                    auto a = ProtocolMsg::makeRequest(1, 978, QByteArray(1, '\1'), false);
                    c.dev->sendMsgAsync(a, false);
                }
            });
        }
        for (auto &t : callers)
            t.join();
        QCOMPARE(ok.load(), 32);
        QVERIFY(waitFor([&] { return c.dev->queuedPackets() == 0; }));
        QCOMPARE(c.cam->receivedFrames().size(), 64);
    }
};

QTEST_MAIN(TestUvcDevice)
#include "tst_uvcdevice.moc"
