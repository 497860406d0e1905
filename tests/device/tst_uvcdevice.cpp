// The message engine of a camera against the virtual camera: synchronous
// requests with their one resend, asynchronous and direct writes, delivery
// to slots, status polling, and what damaged answers and vanishing cameras do.
#include "DeviceTestSupport.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <atomic>
#include <functional>
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

using Fault = std::function<void(VirtualCamera &)>;

} // namespace

Q_DECLARE_METATYPE(Fault)

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

    // A synchronous request against a camera that misbehaves once: the
    // result, how often the frame went out, and the answer data.
    void misbehavingCamera_data()
    {
        using F = VirtualCamera::AnswerFault;
        using E = UvcDevice::ErrorType;
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("answerSize");
        QTest::addColumn<QString>("warning");
        auto row = [](const char *name, Fault f, UvcDevice::ErrorType r, int writes, const char *warning = "") {
            QTest::newRow(name) << f << int(r) << writes << (r == UvcDevice::NoError ? 4 : 0) << QString::fromLatin1(warning);
        };
        auto answer = [](F a) { return Fault([a](VirtualCamera &c) { c.queueAnswerFaults({a}); }); };
        // A lost write or answer is written a second time with the same seq
        // after one wait; a silent camera times out after the second.
        row("first write lost", [](VirtualCamera &c) { c.loseWrites(1); }, E::NoError, 2);
        row("silent camera", [](VirtualCamera &c) { c.setSilent(true); }, E::Timeout, 2);
        row("result code 1", [](VirtualCamera &c) { c.setResultCode(8, 16, 1); }, E::DevError, 1);
        row("result code 5", [](VirtualCamera &c) { c.setResultCode(8, 16, 5); }, E::Timeout, 1);
        row("bad sync", answer(F::BadSync), E::NoError, 2);
        row("11 bytes", answer(F::TooShort), E::NoError, 2);
        row("length beyond block", answer(F::BadLength), E::NoError, 2, "^Msg check failed, ret_val = 3$");
        row("header checksum", answer(F::BadHeaderCrc), E::NoError, 2, "^Msg check failed, ret_val = 4$");
        row("frame checksum", answer(F::BadCrc), E::NoError, 2, "^Msg check failed, ret_val = 5$");
        row("receiver", answer(F::WrongReceiver), E::NoError, 2, "^Invalid receiver: 1$");
        row("not an answer", answer(F::NotAnswer), E::NoError, 2, "^Req frame is not supported at present$");
        row("unknown seq", answer(F::UnknownSeq), E::NoError, 2);
        row("read error", answer(F::ReadError), E::NoError, 2, "^UVC_GET failed:  -1$");
        row("lost answer", answer(F::Drop), E::NoError, 2);
        row("version 2 is good", answer(F::Version2), E::NoError, 1);
    }

    void misbehavingCamera()
    {
        QFETCH(Fault, fault);
        QFETCH(int, result);
        QFETCH(int, writes);
        QFETCH(int, answerSize);
        QFETCH(QString, warning);
        OneCamera c(OneCamera::OpenOnly);
        // The waits are timed from the request on, so the device's worker,
        // just started, first shows that it is cycling: a frame that wants
        // no answer reaches the camera. A late first cycle on a loaded
        // machine is then not taken for a lost write.
        auto wake = ProtocolMsg::makeRequest(1, 962, QByteArray::fromHex("0101"), false);
        QCOMPARE(c.dev->sendMsgAsync(wake, false), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.cam->receivedFrames().size() == 1; }));
        const int earlierBlocks = c.cam->blocksWritten(2).size();
        fault(*c.cam);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        if (warning.startsWith(QLatin1String("^UVC_GET")))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("KsProperty failed. Error: 5")));
        QElapsedTimer t;
        t.start();
        QByteArray answer;
        QCOMPARE(int(askVersion(*c.dev, &answer)), result);
        // Each resend follows a full wait; a time-out follows a second one.
        const int waits = writes - 1 + (result == UvcDevice::Timeout && writes == 2 ? 1 : 0);
        QVERIFY(t.elapsed() >= TimeScale::ms(1000) * waits);
        QCOMPARE(answer.size(), answerSize);
        const auto blocks = c.cam->blocksWritten(2).mid(earlierBlocks);
        QCOMPARE(blocks.size(), writes);
        QCOMPARE(blocks.first(), blocks.last());
        QCOMPARE(c.dev->queuedPackets(), 0);
    }

    void refusedFrames()
    {
        OneCamera c(OneCamera::OpenOnly);
        ProtocolMsg::FrmPacket tooLong = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        tooLong.lenVer = 61;
        QTest::ignoreMessage(QtWarningMsg, "Data len 61 > uvc max payload len 60");
        QCOMPARE(c.dev->sendMsgAsync(tooLong, false), UvcDevice::DataTooLong);
        QCOMPARE(c.dev->queuedPackets(), 0);
        // 60 bytes fit, and only this frame reaches the camera.
        ProtocolMsg::FrmPacket full = ProtocolMsg::makeRequest(1, 962, QByteArray(48, '\1'), false);
        QCOMPARE(c.dev->sendMsgAsync(full, false), UvcDevice::NoError);
        QVERIFY(waitFor([&] { return c.cam->receivedFrames().size() == 1; }));

        DevDescription d;
        d.devicePath = c.cam->devicePath();
        UvcDevice closed(d, &c.platform, UvcDevice::DevModeUvc);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^uvc device: .* not open yet!$")));
        QCOMPARE(askVersion(closed), UvcDevice::DevNotOpen);
        UvcDevice net(d, &c.platform, UvcDevice::DevModeNet);
        QCOMPARE(net.open(), 0);
        QTest::ignoreMessage(QtWarningMsg, "Net mode not supported");
        QCOMPARE(net.sendMsgAsync(full, false), UvcDevice::NetModeNotSupported);
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
        // Written from this thread: there already.
        QCOMPARE(c.cam->receivedFrames().size(), 3);
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

    void statusPollEmitsEvenWhenUnchanged()
    {
        OneCamera c;
        QList<CameraStatus> seen;
        connect(c.dev.get(), &UvcDevice::devStateUpdate, this, [&](const CameraStatus &s) { seen.append(s); });
        c.cam->setStatusByte(2, 3);
        c.dev->setStatusSignalEnabled(true);
        c.dev->setStatusPollCount(99);
        QVERIFY(waitFor([&] { return seen.size() >= 2; }, 10000));
        QCOMPARE(seen.at(0), seen.at(1));
        QCOMPARE(seen.at(0).toByteArray(), c.cam->statusBlock() + QByteArray(2, '\0'));
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
        // The device fails calmly from now on; the caller's record stays.
        CameraStatus s;
        s.data[0] = 9;
        QTest::ignoreMessage(QtWarningMsg, "Invalid ret_val = -1");
        QVERIFY(!c.dev->getCameraStatus(s));
        QCOMPARE(s.data[0], quint8(9));
        // In upgrade mode a write to a camera known to be gone is not tried.
        c.dev->setDevMode(UvcDevice::DevModeUpgrade);
        c.dev->setPresent(false);
        unsigned char block[60] = {5, 1};
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Device not present: ")));
        QCOMPARE(c.dev->uvc_xu_set(5, block, 60), -1);
    }

    // The worker idles in upgrade mode; leaving the mode ends the idle, so
    // that the first request afterwards (the upgrade's closing device init)
    // does not wait out the rest of an idle second.
    void leavingUpgradeModeWakesTheWorker()
    {
        OneCamera c;
        // Production timing: the idle second against a 20 ms cycle.
        TimeScale::setFactor(1.0);
        const auto rescale = qScopeGuard([] { TimeScale::setFactor(Scale); });
        c.dev->setDevMode(UvcDevice::DevModeUpgrade);
        QTest::qWait(100); // the worker is in its idle now
        c.dev->setDevMode(UvcDevice::DevModeUvc);
        QElapsedTimer t;
        t.start();
        QCOMPARE(askVersion(*c.dev), UvcDevice::NoError);
        QVERIFY2(t.elapsed() < 700, qPrintable(QString::number(t.elapsed())));
    }

    void concurrentCallers()
    {
        OneCamera c(OneCamera::OpenOnly);
        c.cam->setVersion(0x01020304);
        std::atomic<int> ok{0};
        std::vector<std::thread> callers;
        for (int i = 0; i < 4; ++i) {
            callers.emplace_back([&] {
                for (int n = 0; n < 8; ++n) {
                    QByteArray answer;
                    // 17-byte answer frames carry 17 - 13 data bytes.
                    if (askVersion(*c.dev, &answer) == UvcDevice::NoError && answer == QByteArray::fromHex("04030201"))
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
        // Every frame got its own sequence number; requests of the system
        // set go to the system module.
        const auto frames = c.cam->receivedFrames();
        QCOMPARE(frames.size(), 64);
        QCOMPARE(frames.last().seq, quint16(frames.first().seq + 63));
        QCOMPARE(frames.first().route, quint8(0xE8));
    }
};

QTEST_MAIN(TestUvcDevice)
#include "tst_uvcdevice.moc"
