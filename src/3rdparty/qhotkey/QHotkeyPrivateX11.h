#pragma once

#include "3rdparty/qhotkey/QHotkeyPrivate.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

// The X11 back end: combinations become passive key grabs on the root
// window, taken on Qt's own connection to the display, so the server's key
// press arrives through the application's native event filter.
//
// Keys map through the keyboard map (keysym to the first keycode that
// produces it); Shift, Control, Alt and Meta map to the Shift, Control, Mod1
// and Mod4 masks. Each combination is also grabbed with Caps Lock and Num
// Lock held, so that the lock keys do not defeat it. A key's release is seen
// from the key-release event the grab brings (key repeats leave the key
// down, so the key state decides) and from the registry's 50 ms key-state
// poll.
class QHotkeyPrivateX11 : public QHotkeyPrivate
{
    Q_OBJECT
public:
    // The back end, or null when the application is not on an X11 display.
    static QHotkeyPrivateX11 *create();
    ~QHotkeyPrivateX11() override;

    bool isPlatformSupported() const override { return true; }
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

    // The server's text for an X error code ("BadAccess (...)").
    static QString errorText(int errorCode);

protected:
    quint32 toNativeKey(Qt::Key keycode, bool &ok) override;
    quint32 toNativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) override;
    bool registerNative(QHotkey::NativeShortcut shortcut) override;
    bool unregisterNative(QHotkey::NativeShortcut shortcut) override;
    bool isKeyHeld(QHotkey::NativeShortcut shortcut) override;

private:
    QHotkeyPrivateX11(xcb_connection_t *connection, xcb_window_t root);

    // The lock modifiers a grab is repeated with: none, Caps, Num, both.
    QList<quint16> lockVariants() const;
    quint16 findNumLockMask();
    // Grabs (or releases) every lock variant; false with m_error set on the
    // first refusal.
    bool grab(const QHotkey::NativeShortcut &shortcut, bool take);

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_key_symbols_t *m_symbols;
    quint16 m_numLockMask = 0;
};
