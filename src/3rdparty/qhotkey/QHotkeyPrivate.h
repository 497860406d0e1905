#pragma once

#include "3rdparty/qhotkey/QHotkey.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>

// The process-wide registry of hotkeys and the base of the platform back
// ends. It maps Qt combinations to native ones, takes each native
// combination from the platform once however many hotkeys share it, turns
// the platform's activation into activated() on every hotkey bound to it and
// watches the key until it goes up for the matching released().
//
// It lives on the main thread, created on first use as a child of the
// application (so it ends with it); calls from other threads are forwarded
// with blocking invocation.
class QHotkeyPrivate : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // How often a held key is looked at for its release.
    static constexpr int ReleasePollMs = 50;

    // The registry; null before the application exists or after it ended.
    static QHotkeyPrivate *instance();

    ~QHotkeyPrivate() override;

    QHotkey::NativeShortcut nativeShortcut(Qt::Key keycode, Qt::KeyboardModifiers modifiers);
    bool addShortcut(QHotkey *hotkey);
    bool removeShortcut(QHotkey *hotkey);
    void addMapping(Qt::Key keycode, Qt::KeyboardModifiers modifiers, QHotkey::NativeShortcut nativeShortcut);

    // False for the back end of a platform without global hotkeys.
    virtual bool isPlatformSupported() const = 0;
    // The back end's text of its last failure.
    QString lastError() const { return m_error; }
    // How many hotkeys hold this native combination (0: not taken from the
    // platform).
    int holders(const QHotkey::NativeShortcut &shortcut) const;

    // From another thread: runs work on the registry's thread and waits.
    void runOnRegistryThread(const std::function<void()> &work);

protected:
    explicit QHotkeyPrivate(QObject *parent = nullptr);

    // ---- the back end ----
    virtual quint32 toNativeKey(Qt::Key keycode, bool &ok) = 0;
    virtual quint32 toNativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) = 0;
    virtual bool registerNative(QHotkey::NativeShortcut shortcut) = 0;
    virtual bool unregisterNative(QHotkey::NativeShortcut shortcut) = 0;
    // Whether the key of an activated combination is still held.
    virtual bool isKeyHeld(QHotkey::NativeShortcut shortcut) = 0;

    // Called by the back end's event filter: the platform reported the
    // combination pressed. A press of the combination still held (key
    // repeat) is ignored.
    void activateShortcut(QHotkey::NativeShortcut shortcut);
    // Called by the back end when it learns that a key went up: the release
    // is checked at once instead of at the next poll.
    void checkRelease();
    QHotkey::NativeShortcut activeShortcut() const { return m_active; }

    QString m_error;

private:
    Q_INVOKABLE void addMappingInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers,
                                       QHotkey::NativeShortcut nativeShortcut);
    Q_INVOKABLE bool addShortcutInvoked(QHotkey *hotkey);
    Q_INVOKABLE bool removeShortcutInvoked(QHotkey *hotkey);
    Q_INVOKABLE QHotkey::NativeShortcut nativeShortcutInvoked(Qt::Key keycode, Qt::KeyboardModifiers modifiers);
    Q_INVOKABLE void runRequests();

    static QHotkeyPrivate *createBackend();
    void finishActivation();

    using Combination = QPair<int, int>;
    QHash<Combination, QHotkey::NativeShortcut> m_mapping;
    QMultiHash<QHotkey::NativeShortcut, QHotkey *> m_shortcuts;
    // The combination held now and the hotkeys it activated; they get their
    // release even when unregistered meanwhile.
    QHotkey::NativeShortcut m_active;
    QList<QPointer<QHotkey>> m_activeHotkeys;
    QTimer m_releaseTimer;
    // Inside the activated() emission, and the combinations pressed
    // meanwhile.
    bool m_dispatching = false;
    QList<QHotkey::NativeShortcut> m_pending;

    // Work handed over by other threads.
    struct Request
    {
        std::function<void()> work;
        bool done;
    };
    std::mutex m_requestLock;
    std::condition_variable m_requestDone;
    QList<Request *> m_requests;
};
