#include "3rdparty/qhotkey/QHotkey.h"

#include "3rdparty/qhotkey/QHotkeyPrivate.h"

Q_LOGGING_CATEGORY(logQHotkey, "QHotkey")

namespace {

// A key sequence's first combination holds the key in its low bits and the
// modifiers in the high ones.
Qt::Key keyOf(int combination)
{
    return Qt::Key(combination & ~int(Qt::KeyboardModifierMask));
}

Qt::KeyboardModifiers modifiersOf(int combination)
{
    return Qt::KeyboardModifiers(combination & int(Qt::KeyboardModifierMask));
}

} // namespace

void QHotkey::addGlobalMapping(const QKeySequence &shortcut, NativeShortcut nativeShortcut)
{
    QHotkeyPrivate *registry = QHotkeyPrivate::instance();
    if (!registry || shortcut.isEmpty())
        return;
    registry->addMapping(keyOf(shortcut[0]), modifiersOf(shortcut[0]), nativeShortcut);
}

bool QHotkey::isPlatformSupported()
{
    QHotkeyPrivate *registry = QHotkeyPrivate::instance();
    return registry && registry->isPlatformSupported();
}

QHotkey::QHotkey(QObject *parent)
    : QObject(parent)
{
}

QHotkey::QHotkey(const QKeySequence &shortcut, bool autoRegister, QObject *parent)
    : QObject(parent)
{
    setShortcut(shortcut, autoRegister);
}

QHotkey::QHotkey(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister, QObject *parent)
    : QObject(parent)
{
    setShortcut(keyCode, modifiers, autoRegister);
}

QHotkey::QHotkey(NativeShortcut shortcut, bool autoRegister, QObject *parent)
    : QObject(parent)
{
    setNativeShortcut(shortcut, autoRegister);
}

QHotkey::~QHotkey()
{
    if (!m_registered)
        return;
    if (QHotkeyPrivate *registry = QHotkeyPrivate::instance())
        registry->removeShortcut(this);
}

QKeySequence QHotkey::shortcut() const
{
    if (m_keyCode == Qt::Key(NoKey))
        return QKeySequence();
    return QKeySequence(int(m_keyCode) | int(m_modifiers));
}

bool QHotkey::setShortcut(const QKeySequence &shortcut, bool autoRegister)
{
    if (shortcut.isEmpty())
        return resetShortcut();
    if (shortcut.count() > 1) {
        qCWarning(logQHotkey) << "Keysequences with multiple shortcuts are not allowed! "
                                 "Only the first shortcut will be used!";
    }
    return setShortcut(keyOf(shortcut[0]), modifiersOf(shortcut[0]), autoRegister);
}

bool QHotkey::setShortcut(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister)
{
    if (m_registered && (!autoRegister || !setRegistered(false)))
        return false;
    if (keyCode == Qt::Key(NoKey)) {
        m_keyCode = Qt::Key(NoKey);
        m_modifiers = Qt::NoModifier;
        m_nativeShortcut = NativeShortcut();
        return true;
    }
    QHotkeyPrivate *registry = QHotkeyPrivate::instance();
    const NativeShortcut native = registry ? registry->nativeShortcut(keyCode, modifiers) : NativeShortcut();
    if (!native.isValid()) {
        qCWarning(logQHotkey) << "Unable to map shortcut to native keys. Key:" << keyCode
                              << "Modifiers:" << modifiers;
        m_keyCode = Qt::Key(NoKey);
        m_modifiers = Qt::NoModifier;
        m_nativeShortcut = NativeShortcut();
        return false;
    }
    m_keyCode = keyCode;
    m_modifiers = modifiers;
    m_nativeShortcut = native;
    return autoRegister ? setRegistered(true) : true;
}

bool QHotkey::resetShortcut()
{
    if (m_registered && !setRegistered(false))
        return false;
    m_keyCode = Qt::Key(NoKey);
    m_modifiers = Qt::NoModifier;
    m_nativeShortcut = NativeShortcut();
    return true;
}

bool QHotkey::setNativeShortcut(NativeShortcut nativeShortcut, bool autoRegister)
{
    if (m_registered && (!autoRegister || !setRegistered(false)))
        return false;
    m_keyCode = Qt::Key(NoKey);
    m_modifiers = Qt::NoModifier;
    m_nativeShortcut = nativeShortcut;
    return nativeShortcut.isValid() && autoRegister ? setRegistered(true) : true;
}

bool QHotkey::setRegistered(bool registered)
{
    if (registered == m_registered)
        return true;
    QHotkeyPrivate *registry = QHotkeyPrivate::instance();
    if (!registry)
        return false;
    if (!registered)
        return registry->removeShortcut(this);
    if (!m_nativeShortcut.isValid())
        return false;
    return registry->addShortcut(this);
}
