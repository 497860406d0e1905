// Global hotkeys on a private X server: a second X client holds the focus
// (and, where asked, a key grab), xdotool presses the keys, virtual cameras
// answer. Skipped where Xvfb cannot be started.

#include "MainWindowTestSupport.h"
#include "XvfbDisplay.h"

#include "3rdparty/qhotkey/QHotkey.h"
#include "3rdparty/qhotkey/QHotkeyPrivate.h"
#include "comm/GlobalParams.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/MsgInfoUi.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QShortcut>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <X11/keysym.h>

#include <atomic>
#include <thread>

using namespace mwtest;

namespace {

// Another program on the display: a mapped window that can take the focus,
// and key grabs of its own.
class OtherClient
{
public:
    bool open()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return false;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_root = screen->root;
        m_window = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, m_root, 900, 0, 200, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(m_c, m_window);
        m_symbols = xcb_key_symbols_alloc(m_c);
        return waitFor([&] {
            auto *a = xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, m_window), nullptr);
            const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
            free(a);
            return viewable;
        });
    }
    ~OtherClient()
    {
        if (m_symbols)
            xcb_key_symbols_free(m_symbols);
        if (m_c)
            xcb_disconnect(m_c);
    }
    // Focus to its own window or, as a window manager would, to another's.
    bool takeFocus(xcb_window_t window = 0)
    {
        window = window ? window : m_window;
        xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        auto *f = xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr);
        const bool ok = f && f->focus == window;
        free(f);
        return ok;
    }
    // The X error code of grabbing (0) or releasing the combination; 0 = done.
    int grab(xcb_keysym_t sym, quint16 modifiers, bool take = true)
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, sym);
        const xcb_keycode_t key = codes ? codes[0] : 0;
        free(codes);
        const xcb_void_cookie_t cookie = take ? xcb_grab_key_checked(m_c, 0, m_root, modifiers, key,
                                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
                                              : xcb_ungrab_key_checked(m_c, key, m_root, modifiers);
        xcb_generic_error_t *error = xcb_request_check(m_c, cookie);
        const int code = error ? error->error_code : 0;
        free(error);
        return code;
    }

private:
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_window_t m_window = 0;
    xcb_key_symbols_t *m_symbols = nullptr;
};

constexpr quint16 CtrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr int BadAccess = 10;

void xdotool(const QStringList &args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

void press(const QString &keys)
{
    xdotool({QStringLiteral("key"), keys});
}

QHotkey *hotkey(QObject *window, const QString &keys)
{
    for (QHotkey *h : window->findChildren<QHotkey *>()) {
        if (h->shortcut() == QKeySequence(keys))
            return h;
    }
    return nullptr;
}

// The range as the user sets it: through the settings panel's switch.
void setRange(MainUserUi *window, int range)
{
    if (vexo::pc::GlobalParams::instance()->getShortcutRange() != range)
        window->systemSetting()->on_pbGlobalHotkeys_clicked();
    QCOMPARE(vexo::pc::GlobalParams::instance()->getShortcutRange(), range);
}

void setSliderQuietly(QSlider *slider, int value)
{
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

QShortcut *shortcut(QObject *window, const QString &keys)
{
    for (QShortcut *s : window->findChildren<QShortcut *>()) {
        if (s->key() == QKeySequence(keys))
            return s;
    }
    return nullptr;
}

} // namespace

class TestHotkeys : public QObject
{
    Q_OBJECT
public:
    explicit TestHotkeys(const QString &skip)
        : m_skip(skip)
    {
    }

private slots:
    void initTestCase();
    void cleanupTestCase();

    void sharedCombinationGrabbedOnceWithLocks();
    void takenCombinationStaysUnregistered();
    void rangeDecidesWhereAltKeysWork();
    void heldViewMoveStopsOnRelease();
    void sleepKeyRestsAfterUse();
    void deviceKeysNeedThatManyCameras();

private:
    QString m_skip;
    OtherClient m_other;
    MainUserUi *m_window = nullptr;
    std::vector<std::shared_ptr<VirtualCamera>> m_cams;
};

void TestHotkeys::initTestCase()
{
    if (!m_skip.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no X display for global hotkeys: ") + m_skip));
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed");
    QVERIFY(m_other.open());
    QVERIFY(QHotkey::isPlatformSupported());
    setUpPlatform();
    m_window = new MainUserUi();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_cams = plugCameras(m_window, 2);
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == m_cams.front()->serial() && m_window->isAwake(); }));
    QVERIFY(hotkey(m_window, QStringLiteral("Ctrl+Shift+Z"))->isRegistered());
    setRange(m_window, 0);
    m_window->onRemoteCtrlEnabled(false);
    QVERIFY(m_other.takeFocus());
}

void TestHotkeys::cleanupTestCase()
{
    if (!m_window)
        return;
    unplugAll(m_window);
    delete m_window;
    QThreadPool::globalInstance()->waitForDone();
}

void TestHotkeys::sharedCombinationGrabbedOnceWithLocks()
{
    QHotkey first(QKeySequence(QStringLiteral("Ctrl+Alt+Y")), true);
    QHotkey second(QKeySequence(QStringLiteral("Ctrl+Alt+Y")));
    // Registered from another thread: done on the main thread meanwhile.
    std::atomic<int> fromThread{-1};
    std::thread other([&] { fromThread = second.setRegistered(true); });
    QVERIFY(waitFor([&] { return fromThread >= 0; }));
    other.join();
    QVERIFY(first.isRegistered() && second.isRegistered());
    QCOMPARE(QHotkeyPrivate::instance()->holders(first.nativeShortcut()), 2);
    QCOMPARE(m_other.grab(XK_y, CtrlAlt), BadAccess);

    // Both hear it, also with Caps Lock on; one release after each activation.
    QSignalSpy activated1(&first, &QHotkey::activated), activated2(&second, &QHotkey::activated);
    QSignalSpy released1(&first, &QHotkey::released), released2(&second, &QHotkey::released);
    press(QStringLiteral("ctrl+alt+y"));
    QVERIFY(waitFor([&] { return released1.count() == 1 && released2.count() == 1; }));
    press(QStringLiteral("Caps_Lock"));
    press(QStringLiteral("ctrl+alt+y"));
    press(QStringLiteral("Caps_Lock"));
    QVERIFY(waitFor([&] { return released1.count() == 2 && released2.count() == 2; }));
    QCOMPARE(activated1.count(), 2);
    QCOMPARE(activated2.count(), 2);

    // The grab goes only with the last of them.
    QVERIFY(first.setRegistered(false));
    QCOMPARE(m_other.grab(XK_y, CtrlAlt), BadAccess);
    QVERIFY(second.setRegistered(false));
    QCOMPARE(m_other.grab(XK_y, CtrlAlt), 0);
    QCOMPARE(m_other.grab(XK_y, CtrlAlt, false), 0);
}

void TestHotkeys::takenCombinationStaysUnregistered()
{
    QCOMPARE(m_other.grab(XK_f, CtrlAlt), 0);
    QTest::ignoreMessage(QtWarningMsg,
                         "Failed to register Ctrl+Alt+F. Error: BadAccess (attempt to access private resource denied)");
    m_window->onRemoteCtrlEnabled(true);
    QVERIFY(!hotkey(m_window, QStringLiteral("Ctrl+Alt+F"))->isRegistered());
    QVERIFY(hotkey(m_window, QStringLiteral("Ctrl+Alt+H"))->isRegistered());
    QVERIFY(vexo::pc::GlobalParams::instance()->getShortcutExt());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!w->isVisible() || w == m_window);

    // The other keys of the remote control work: the next field of view.
    const int fovSent = blocks(m_cams.front(), 4).size();
    press(QStringLiteral("ctrl+alt+9"));
    QVERIFY(waitFor([&] { return blocks(m_cams.front(), 4).size() == fovSent + 1; }));
    m_window->onRemoteCtrlEnabled(false);
    QVERIFY(!hotkey(m_window, QStringLiteral("Ctrl+Alt+9"))->isRegistered());
    QCOMPARE(m_other.grab(XK_f, CtrlAlt, false), 0);
}

void TestHotkeys::rangeDecidesWhereAltKeysWork()
{
    QSlider *zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    auto params = vexo::pc::GlobalParams::instance();
    setSliderQuietly(zoom, 0);
    const int cameraZoom = m_cams.front()->controlValue(CameraDevice::Control::Zoom);

    // Range 1: Alt+I zooms while the other program has the focus.
    setRange(m_window, 1);
    QVERIFY(!shortcut(m_window, QStringLiteral("Alt+I"))->isEnabled());
    QVERIFY(hotkey(m_window, QStringLiteral("Alt+I"))->isRegistered());
    press(QStringLiteral("alt+i"));
    QVERIFY(waitFor([&] { return zoom->value() == 10; }));
    QVERIFY(waitFor([&] { return m_cams.front()->controlValue(CameraDevice::Control::Zoom) != cameraZoom; }));

    // Ctrl+Shift+Z flips to range 0 from anywhere; Alt+I then reaches the
    // other program. A second Ctrl+Shift+Z, seen after Alt+I, flips back.
    press(QStringLiteral("ctrl+shift+z"));
    QVERIFY(waitFor([&] { return params->getShortcutRange() == 0; }));
    QVERIFY(!hotkey(m_window, QStringLiteral("Alt+I"))->isRegistered());
    QVERIFY(shortcut(m_window, QStringLiteral("Alt+I"))->isEnabled());
    press(QStringLiteral("alt+i"));
    press(QStringLiteral("ctrl+shift+z"));
    QVERIFY(waitFor([&] { return params->getShortcutRange() == 1; }));
    QCOMPARE(zoom->value(), 10);
    QVERIFY(hotkey(m_window, QStringLiteral("Alt+I"))->isRegistered());

    // Range 0 with the application focused: the application shortcut zooms.
    press(QStringLiteral("ctrl+shift+z"));
    QVERIFY(waitFor([&] { return params->getShortcutRange() == 0; }));
    QVERIFY(m_other.takeFocus(xcb_window_t(m_window->winId())));
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    press(QStringLiteral("alt+i"));
    QVERIFY(waitFor([&] { return zoom->value() == 20; }));
    QVERIFY(m_other.takeFocus());
}

void TestHotkeys::heldViewMoveStopsOnRelease()
{
    setRange(m_window, 1);
    m_cams.front()->clearLog();
    QHotkey *up = hotkey(m_window, QStringLiteral("Alt+Up"));
    QSignalSpy released(up, &QHotkey::released);
    xdotool({QStringLiteral("keydown"), QStringLiteral("alt+Up")});
    QVERIFY(waitFor([&] { return m_window->directionHandler()->isPressed(); }));
    QVERIFY(waitFor([&] { return blocks(m_cams.front(), 9).size() == 1; }));

    // Held through several release polls, it keeps moving.
    QElapsedTimer held;
    held.start();
    QVERIFY(waitFor([&] { return held.elapsed() > 4 * QHotkeyPrivate::ReleasePollMs || !released.isEmpty(); }));
    QVERIFY(released.isEmpty());
    // xdotool returns once the server has the key up.
    xdotool({QStringLiteral("keyup"), QStringLiteral("alt+Up")});
    QElapsedTimer t;
    t.start();
    QVERIFY(waitFor([&] { return !released.isEmpty(); }, 1000));
    qInfo("release seen %lld ms after the key went up", t.elapsed());
    QVERIFY2(t.elapsed() <= 2 * QHotkeyPrivate::ReleasePollMs, qPrintable(QString::number(t.elapsed())));
    QVERIFY(waitFor([&] { return blocks(m_cams.front(), 9).size() == 2; }));
    QCOMPARE(blocks(m_cams.front(), 9).last().mid(2, 4), QByteArray(4, '\0'));
    // The crop-area report will name the keyboard.
    QVERIFY(m_window->cropAreaCounter() >= 31 && m_window->cropAreaCounter() <= 60);
}

void TestHotkeys::sleepKeyRestsAfterUse()
{
    // The rest must outlast the second press, which on a loaded machine
    // may take a second or more to arrive: the full rest.
    TimeScale::setFactor(1.0);
    setRange(m_window, 1);
    QHotkey *sleepKey = hotkey(m_window, QStringLiteral("Alt+T"));
    QSignalSpy deviceKey(hotkey(m_window, QStringLiteral("Alt+1")), &QHotkey::activated);
    auto runStates = [&] {
        QList<QByteArray> states;
        for (const auto &frame : m_cams.front()->receivedFrames()) {
            if (frame.cmdId == 962)
                states.append(frame.payload);
        }
        return states;
    };
    press(QStringLiteral("alt+t"));
    QVERIFY(waitFor([&] { return !m_window->isAwake(); }));
    QVERIFY(!sleepKey->isRegistered());
    press(QStringLiteral("alt+t"));
    press(QStringLiteral("alt+1")); // seen after the second Alt+T
    QVERIFY(waitFor([&] { return deviceKey.count() == 1; }));
    QVERIFY(!m_window->isAwake());
    QVERIFY(waitFor([&] { return runStates().size() == 1; }));

    // Rested, it wakes the camera.
    QVERIFY(waitFor([&] { return sleepKey->isRegistered(); }));
    press(QStringLiteral("alt+t"));
    QVERIFY(waitFor([&] { return m_window->isAwake() && runStates().size() == 2; }));
    QCOMPARE(runStates().last().right(1), QByteArray("\x01"));
    TimeScale::setFactor(Scale);
    QVERIFY(waitFor([&] { return sleepKey->isRegistered(); }));
}

void TestHotkeys::deviceKeysNeedThatManyCameras()
{
    setRange(m_window, 1);
    QSignalSpy third(hotkey(m_window, QStringLiteral("Alt+3")), &QHotkey::activated);
    press(QStringLiteral("alt+3"));
    QVERIFY(waitFor([&] { return third.count() == 1; }));
    QCOMPARE(m_window->currentDevSn(), m_cams.front()->serial());
    press(QStringLiteral("alt+2"));
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == m_cams.back()->serial(); }));
}

int main(int argc, char *argv[])
{
    testsupport::XvfbDisplay display;
    const bool x11 = display.start();
    if (x11)
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestHotkeys test(x11 ? QString() : display.whyNot());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hotkeys.moc"
