#include "3rdparty/qhotkey/QHotkeyPrivate.h"

#include "3rdparty/qhotkey/QHotkeyPrivateUnsupported.h"
#ifdef ZARVO_HOTKEY_X11
#include "3rdparty/qhotkey/QHotkeyPrivateX11.h"
#endif

#include <QCoreApplication>
#include <QThread>

#include <mutex>

namespace {

std::mutex g_registryLock;
QHotkeyPrivate *g_registry = nullptr;

// Runs f on the registry's thread and returns its result; from another
// thread the caller waits for it.
template <typename R, typename F>
R onRegistryThread(QHotkeyPrivate *registry, F f)
{
    if (QThread::currentThread() == registry->thread())
        return f();
    R result{};
    registry->runOnRegistryThread([&result, &f] { result = f(); });
    return result;
}

} // namespace

QHotkeyPrivate *QHotkeyPrivate::instance()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    if (QThread::currentThread() != app->thread()) {
        {
            std::lock_guard<std::mutex> locker(g_registryLock);
            if (g_registry)
                return g_registry;
        }
        // Created on the main thread, which owns it.
        QHotkeyPrivate *registry = nullptr;
        QMetaObject::invokeMethod(app, [&registry] { registry = instance(); }, Qt::BlockingQueuedConnection);
        return registry;
    }
    std::lock_guard<std::mutex> locker(g_registryLock);
    if (!g_registry) {
        g_registry = createBackend();
        g_registry->setParent(app);
        app->installNativeEventFilter(g_registry);
    }
    return g_registry;
}

QHotkeyPrivate *QHotkeyPrivate::createBackend()
{
#ifdef ZARVO_HOTKEY_X11
    if (QHotkeyPrivate *x11 = QHotkeyPrivateX11::create())
        return x11;
#endif
    return new QHotkeyPrivateUnsupported();
}

QHotkeyPrivate::QHotkeyPrivate(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<QHotkey::NativeShortcut>();
    m_releaseTimer.setInterval(ReleasePollMs);
    connect(&m_releaseTimer, &QTimer::timeout, this, &QHotkeyPrivate::checkRelease);
}

QHotkeyPrivate::~QHotkeyPrivate()
{
    {
        std::lock_guard<std::mutex> locker(g_registryLock);
        if (g_registry == this)
            g_registry = nullptr;
    }
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    if (!m_shortcuts.isEmpty()) {
        qCWarning(logQHotkey) << "QHotkeyPrivate destroyed with registered shortcuts!";
        // The platform ends the native registrations with the application.
        for (QHotkey *hotkey : qAsConst(m_shortcuts))
            hotkey->m_registered = false;
    }
}

// The request is handed over under the registry's own lock (Qt's queue only
// wakes the registry), so both sides see what the other wrote, and so does
// the thread sanitizer, which cannot look into Qt.
void QHotkeyPrivate::runOnRegistryThread(const std::function<void()> &work)
{
    Request request{work, false};
    std::unique_lock<std::mutex> locker(m_requestLock);
    m_requests.append(&request);
    QMetaObject::invokeMethod(this, "runRequests", Qt::QueuedConnection);
    m_requestDone.wait(locker, [&request] { return request.done; });
}

void QHotkeyPrivate::runRequests()
{
    for (;;) {
        Request *request = nullptr;
        {
            std::lock_guard<std::mutex> locker(m_requestLock);
            if (m_requests.isEmpty())
                return;
            request = m_requests.takeFirst();
        }
        request->work();
        std::lock_guard<std::mutex> locker(m_requestLock);
        request->done = true;
        m_requestDone.notify_all();
    }
}

QHotkey::NativeShortcut QHotkeyPrivate::nativeShortcut(Qt::Key keycode, Qt::KeyboardModifiers modifiers)
{
    return onRegistryThread<QHotkey::NativeShortcut>(
        this, [&] { return nativeShortcutInvoked(keycode, modifiers); });
}

bool QHotkeyPrivate::addShortcut(QHotkey *hotkey)
{
    return onRegistryThread<bool>(this, [&] { return addShortcutInvoked(hotkey); });
}

bool QHotkeyPrivate::removeShortcut(QHotkey *hotkey)
{
    return onRegistryThread<bool>(this, [&] { return removeShortcutInvoked(hotkey); });
}

void QHotkeyPrivate::addMapping(Qt::Key keycode, Qt::KeyboardModifiers modifiers,
                                QHotkey::NativeShortcut nativeShortcut)
{
    onRegistryThread<bool>(this, [&] {
        addMappingInvoked(keycode, modifiers, nativeShortcut);
        return true;
    });
}

int QHotkeyPrivate::holders(const QHotkey::NativeShortcut &shortcut) const
{
    return onRegistryThread<int>(const_cast<QHotkeyPrivate *>(this),
                                 [&] { return int(m_shortcuts.count(shortcut)); });
}

void QHotkeyPrivate::addMappingInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers,
                                       QHotkey::NativeShortcut nativeShortcut)
{
    m_mapping.insert(Combination(int(keycode), int(modifiers)), nativeShortcut);
}

QHotkey::NativeShortcut QHotkeyPrivate::nativeShortcutInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers)
{
    const auto mapped = m_mapping.constFind(Combination(int(keycode), int(modifiers)));
    if (mapped != m_mapping.constEnd())
        return mapped.value();
    bool keyOk = false;
    bool modifiersOk = false;
    const quint32 key = toNativeKey(keycode, keyOk);
    const quint32 nativeModifiers = toNativeModifiers(modifiers, modifiersOk);
    if (!keyOk || !modifiersOk)
        return QHotkey::NativeShortcut();
    return QHotkey::NativeShortcut(key, nativeModifiers);
}

bool QHotkeyPrivate::addShortcutInvoked(QHotkey *hotkey)
{
    const QHotkey::NativeShortcut shortcut = hotkey->m_nativeShortcut;
    if (!m_shortcuts.contains(shortcut)) {
        // A platform without hotkeys said so once, when the registry began.
        if (!isPlatformSupported())
            return false;
        if (!registerNative(shortcut)) {
            qCWarning(logQHotkey).noquote()
                << QStringLiteral("Failed to register %1. Error: %2")
                       .arg(hotkey->shortcut().toString(QKeySequence::PortableText), m_error);
            return false;
        }
    }
    m_shortcuts.insert(shortcut, hotkey);
    hotkey->m_registered = true;
    emit hotkey->registeredChanged(true);
    return true;
}

bool QHotkeyPrivate::removeShortcutInvoked(QHotkey *hotkey)
{
    const QHotkey::NativeShortcut shortcut = hotkey->m_nativeShortcut;
    if (!m_shortcuts.remove(shortcut, hotkey))
        return false;
    bool ok = true;
    if (!m_shortcuts.contains(shortcut) && !unregisterNative(shortcut)) {
        qCWarning(logQHotkey).noquote()
            << QStringLiteral("Failed to unregister %1. Error: %2")
                   .arg(hotkey->shortcut().toString(QKeySequence::PortableText), m_error);
        ok = false;
    }
    hotkey->m_registered = false;
    emit hotkey->registeredChanged(false);
    return ok;
}

// Handlers of activated() may run event loops (a dialog, a wait): a release
// seen meanwhile waits until every hotkey had its activation, and other
// combinations pressed meanwhile are activated in turn afterwards.
void QHotkeyPrivate::activateShortcut(QHotkey::NativeShortcut shortcut)
{
    if (m_releaseTimer.isActive() && shortcut == m_active)
        return; // key repeat of the combination held
    if (m_dispatching) {
        if (!m_pending.contains(shortcut))
            m_pending.append(shortcut);
        return;
    }
    const QList<QHotkey *> bound = m_shortcuts.values(shortcut);
    if (bound.isEmpty())
        return;
    if (m_releaseTimer.isActive())
        finishActivation();

    m_active = shortcut;
    m_activeHotkeys.clear();
    for (QHotkey *hotkey : bound)
        m_activeHotkeys.append(hotkey);
    m_releaseTimer.start();
    const QList<QPointer<QHotkey>> targets = m_activeHotkeys;
    m_dispatching = true;
    for (const QPointer<QHotkey> &hotkey : targets) {
        if (hotkey)
            emit hotkey->activated();
    }
    m_dispatching = false;
    checkRelease();
    while (!m_pending.isEmpty())
        activateShortcut(m_pending.takeFirst());
}

void QHotkeyPrivate::checkRelease()
{
    if (!m_releaseTimer.isActive() || m_dispatching)
        return;
    if (isKeyHeld(m_active))
        return;
    finishActivation();
}

void QHotkeyPrivate::finishActivation()
{
    m_releaseTimer.stop();
    const QList<QPointer<QHotkey>> targets = m_activeHotkeys;
    m_activeHotkeys.clear();
    for (const QPointer<QHotkey> &hotkey : targets) {
        if (hotkey)
            emit hotkey->released();
    }
}
