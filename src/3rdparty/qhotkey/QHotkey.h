#pragma once

#include <QHash>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QObject>

Q_DECLARE_LOGGING_CATEGORY(logQHotkey)

// A system-wide keyboard shortcut: activated() fires when the combination is
// pressed while any application has the focus, released() once the key goes
// up again (exactly one release after every activation).
//
// The shortcut is kept as a Qt key and Qt modifiers and, mapped through the
// process-wide registry (QHotkeyPrivate), as the platform's native key and
// modifiers. Several hotkeys may share one combination: the registry takes
// it from the platform once and activates all of them.
//
// Every operation may be called from any thread; the registration itself
// runs on the registry's (the main) thread. Signals are emitted there too.
class QHotkey : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool registered READ isRegistered WRITE setRegistered NOTIFY registeredChanged)
    Q_PROPERTY(QKeySequence shortcut READ shortcut WRITE setShortcut RESET resetShortcut)

public:
    // The platform's form of a combination.
    struct NativeShortcut
    {
        quint32 key = 0;
        quint32 modifier = 0;
        bool valid = false;

        NativeShortcut() = default;
        NativeShortcut(quint32 nativeKey, quint32 nativeModifiers = 0)
            : key(nativeKey)
            , modifier(nativeModifiers)
            , valid(true)
        {
        }
        bool isValid() const { return valid; }
        bool operator==(const NativeShortcut &other) const
        {
            return key == other.key && modifier == other.modifier && valid == other.valid;
        }
        bool operator!=(const NativeShortcut &other) const { return !(*this == other); }
    };

    // Combinations of this key (Qt's "no key") carry no shortcut.
    static constexpr int NoKey = Qt::Key_unknown;

    // A fixed native form for a combination the platform mapping gets wrong.
    static void addGlobalMapping(const QKeySequence &shortcut, NativeShortcut nativeShortcut);
    // False where hotkeys cannot be registered at all (no X11 display).
    static bool isPlatformSupported();

    explicit QHotkey(QObject *parent = nullptr);
    explicit QHotkey(const QKeySequence &shortcut, bool autoRegister = false, QObject *parent = nullptr);
    QHotkey(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister = false,
            QObject *parent = nullptr);
    explicit QHotkey(NativeShortcut shortcut, bool autoRegister = false, QObject *parent = nullptr);
    ~QHotkey() override;

    bool isRegistered() const { return m_registered; }
    QKeySequence shortcut() const;
    Qt::Key keyCode() const { return m_keyCode; }
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
    NativeShortcut nativeShortcut() const { return m_nativeShortcut; }

public slots:
    // An empty sequence clears the shortcut; of several combinations only the
    // first is used. A registered hotkey is changed only with autoRegister
    // (it is then registered again with the new combination).
    bool setShortcut(const QKeySequence &shortcut, bool autoRegister = false);
    bool setShortcut(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister = false);
    bool resetShortcut();
    bool setNativeShortcut(QHotkey::NativeShortcut nativeShortcut, bool autoRegister = false);
    bool setRegistered(bool registered);

signals:
    void activated();
    void released();
    void registeredChanged(bool registered);

private:
    friend class QHotkeyPrivate;

    Qt::Key m_keyCode = Qt::Key(NoKey);
    Qt::KeyboardModifiers m_modifiers = Qt::NoModifier;
    NativeShortcut m_nativeShortcut;
    bool m_registered = false;
};

inline uint qHash(const QHotkey::NativeShortcut &shortcut, uint seed = 0)
{
    return qHash(quint64(shortcut.key) << 32 | shortcut.modifier, seed) ^ uint(shortcut.valid);
}

Q_DECLARE_METATYPE(QHotkey::NativeShortcut)
