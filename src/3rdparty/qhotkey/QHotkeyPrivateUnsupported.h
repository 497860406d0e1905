#pragma once

#include "3rdparty/qhotkey/QHotkeyPrivate.h"

// The back end where the platform offers no global hotkeys (Wayland, the
// offscreen platform, no display): it says so once, maps every combination
// so that hotkeys can still be set up, and registers none. The
// application's own shortcuts keep working while it has the focus.
class QHotkeyPrivateUnsupported : public QHotkeyPrivate
{
    Q_OBJECT
public:
    explicit QHotkeyPrivateUnsupported(QObject *parent = nullptr);

    bool isPlatformSupported() const override { return false; }
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

protected:
    quint32 toNativeKey(Qt::Key keycode, bool &ok) override;
    quint32 toNativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok) override;
    bool registerNative(QHotkey::NativeShortcut shortcut) override;
    bool unregisterNative(QHotkey::NativeShortcut shortcut) override;
    bool isKeyHeld(QHotkey::NativeShortcut shortcut) override;
};
