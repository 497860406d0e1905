#include "3rdparty/qhotkey/QHotkeyPrivateUnsupported.h"

#include <QGuiApplication>

QHotkeyPrivateUnsupported::QHotkeyPrivateUnsupported(QObject *parent)
    : QHotkeyPrivate(parent)
{
    QString platform = QGuiApplication::platformName();
    if (platform.isEmpty())
        platform = QStringLiteral("none");
    qCWarning(logQHotkey).noquote() << QStringLiteral(
        "Global hotkeys are not available on platform %1 (no X11 display); "
        "shortcuts work only while the application has the focus").arg(platform);
    m_error = QStringLiteral("Global hotkeys are not supported on this platform");
}

bool QHotkeyPrivateUnsupported::nativeEventFilter(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    Q_UNUSED(result)
    return false;
}

quint32 QHotkeyPrivateUnsupported::toNativeKey(Qt::Key keycode, bool &ok)
{
    ok = true;
    return quint32(keycode);
}

quint32 QHotkeyPrivateUnsupported::toNativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok)
{
    ok = true;
    return quint32(modifiers);
}

bool QHotkeyPrivateUnsupported::registerNative(QHotkey::NativeShortcut shortcut)
{
    Q_UNUSED(shortcut)
    return false;
}

bool QHotkeyPrivateUnsupported::unregisterNative(QHotkey::NativeShortcut shortcut)
{
    Q_UNUSED(shortcut)
    return true;
}

bool QHotkeyPrivateUnsupported::isKeyHeld(QHotkey::NativeShortcut shortcut)
{
    Q_UNUSED(shortcut)
    return false;
}
