#include "3rdparty/qhotkey/QHotkeyPrivateX11.h"

#include <QGuiApplication>
#include <QX11Info>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace {

// The modifiers that tell combinations apart; lock and button state is
// ignored.
constexpr quint16 kComboMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

// Qt's key to the X keysym that produces it; 0 for keys without one.
xcb_keysym_t keysymOf(Qt::Key key)
{
    // Latin-1 keys are their own keysyms; letters as their lower case, the
    // symbol the unshifted key produces.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t(key - Qt::Key_A + XK_a);
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis)
        return xcb_keysym_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return xcb_keysym_t(XK_F1 + (key - Qt::Key_F1));
    static const struct
    {
        Qt::Key key;
        xcb_keysym_t sym;
    } table[] = {
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Tab, XK_Tab},
        {Qt::Key_Backtab, XK_ISO_Left_Tab},
        {Qt::Key_Backspace, XK_BackSpace},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Insert, XK_Insert},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_SysReq, XK_Sys_Req},
        {Qt::Key_Clear, XK_Clear},
        {Qt::Key_Home, XK_Home},
        {Qt::Key_End, XK_End},
        {Qt::Key_Left, XK_Left},
        {Qt::Key_Up, XK_Up},
        {Qt::Key_Right, XK_Right},
        {Qt::Key_Down, XK_Down},
        {Qt::Key_PageUp, XK_Prior},
        {Qt::Key_PageDown, XK_Next},
        {Qt::Key_CapsLock, XK_Caps_Lock},
        {Qt::Key_NumLock, XK_Num_Lock},
        {Qt::Key_ScrollLock, XK_Scroll_Lock},
        {Qt::Key_Menu, XK_Menu},
        {Qt::Key_Help, XK_Help},
        {Qt::Key_VolumeDown, XF86XK_AudioLowerVolume},
        {Qt::Key_VolumeMute, XF86XK_AudioMute},
        {Qt::Key_VolumeUp, XF86XK_AudioRaiseVolume},
        {Qt::Key_MediaPlay, XF86XK_AudioPlay},
        {Qt::Key_MediaStop, XF86XK_AudioStop},
        {Qt::Key_MediaPrevious, XF86XK_AudioPrev},
        {Qt::Key_MediaNext, XF86XK_AudioNext},
    };
    for (const auto &entry : table) {
        if (entry.key == key)
            return entry.sym;
    }
    return 0;
}

} // namespace

QHotkeyPrivateX11 *QHotkeyPrivateX11::create()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !QX11Info::isPlatformX11())
        return nullptr;
    xcb_connection_t *connection = QX11Info::connection();
    if (!connection || xcb_connection_has_error(connection))
        return nullptr;
    return new QHotkeyPrivateX11(connection, xcb_window_t(QX11Info::appRootWindow()));
}

QHotkeyPrivateX11::QHotkeyPrivateX11(xcb_connection_t *connection, xcb_window_t root)
    : m_connection(connection)
    , m_root(root)
    , m_symbols(xcb_key_symbols_alloc(connection))
{
    m_numLockMask = findNumLockMask();
}

// Runs when the application ends, after Qt closed its connection: nothing
// here may talk to the server (it dropped this client's grabs already).
QHotkeyPrivateX11::~QHotkeyPrivateX11()
{
    // The keyboard map was read in the constructor: freeing it needs no
    // connection.
    xcb_key_symbols_free(m_symbols);
}

QString QHotkeyPrivateX11::errorText(int errorCode)
{
    static const char *const texts[] = {
        nullptr,
        "BadRequest (invalid request code or no such operation)",
        "BadValue (integer parameter out of range for operation)",
        "BadWindow (invalid Window parameter)",
        "BadPixmap (invalid Pixmap parameter)",
        "BadAtom (invalid Atom parameter)",
        "BadCursor (invalid Cursor parameter)",
        "BadFont (invalid Font parameter)",
        "BadMatch (invalid parameter attributes)",
        "BadDrawable (invalid Pixmap or Window parameter)",
        "BadAccess (attempt to access private resource denied)",
        "BadAlloc (insufficient resources for operation)",
        "BadColor (invalid Colormap parameter)",
        "BadGC (invalid GC parameter)",
        "BadIDChoice (invalid resource ID chosen for this connection)",
        "BadName (named color or font does not exist)",
        "BadLength (poly request too large or internal Xlib length error)",
        "BadImplementation (server does not implement operation)",
    };
    if (errorCode > 0 && errorCode < int(sizeof(texts) / sizeof(texts[0])))
        return QString::fromLatin1(texts[errorCode]);
    return QStringLiteral("X error %1").arg(errorCode);
}

quint32 QHotkeyPrivateX11::toNativeKey(Qt::Key keycode, bool &ok)
{
    ok = false;
    const xcb_keysym_t sym = keysymOf(keycode);
    if (!sym || !m_symbols)
        return 0;
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, sym);
    if (!codes)
        return 0;
    const xcb_keycode_t code = codes[0];
    std::free(codes);
    if (code == XCB_NO_SYMBOL)
        return 0;
    ok = true;
    return code;
}

quint32 QHotkeyPrivateX11::toNativeModifiers(Qt::KeyboardModifiers modifiers, bool &ok)
{
    quint32 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    ok = true;
    return mask;
}

// The modifier bit the keyboard map gives Num Lock (commonly Mod2); 0 when
// it has none.
quint16 QHotkeyPrivateX11::findNumLockMask()
{
    if (!m_symbols)
        return 0;
    xcb_keycode_t *numLock = xcb_key_symbols_get_keycode(m_symbols, XK_Num_Lock);
    if (!numLock)
        return 0;
    quint16 mask = 0;
    xcb_get_modifier_mapping_reply_t *reply =
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
    if (reply) {
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8 && !mask; ++modifier) {
            for (int i = 0; i < perModifier && !mask; ++i) {
                const xcb_keycode_t code = codes[modifier * perModifier + i];
                for (const xcb_keycode_t *n = numLock; code != XCB_NO_SYMBOL && *n != XCB_NO_SYMBOL; ++n) {
                    if (*n == code) {
                        mask = quint16(1u << modifier);
                        break;
                    }
                }
            }
        }
        std::free(reply);
    }
    std::free(numLock);
    return mask;
}

QList<quint16> QHotkeyPrivateX11::lockVariants() const
{
    QList<quint16> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask && m_numLockMask != XCB_MOD_MASK_LOCK) {
        variants.append(m_numLockMask);
        variants.append(quint16(m_numLockMask | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

bool QHotkeyPrivateX11::grab(const QHotkey::NativeShortcut &shortcut, bool take)
{
    const xcb_keycode_t key = xcb_keycode_t(shortcut.key);
    const quint16 modifiers = quint16(shortcut.modifier);
    QList<xcb_void_cookie_t> cookies;
    for (quint16 lock : lockVariants()) {
        if (take) {
            cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, modifiers | lock, key,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        } else {
            cookies.append(xcb_ungrab_key_checked(m_connection, key, m_root, modifiers | lock));
        }
    }
    bool ok = true;
    for (const xcb_void_cookie_t &cookie : qAsConst(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            if (ok)
                m_error = errorText(error->error_code);
            ok = false;
            std::free(error);
        }
    }
    return ok;
}

bool QHotkeyPrivateX11::registerNative(QHotkey::NativeShortcut shortcut)
{
    if (grab(shortcut, true))
        return true;
    // Another client holds the combination (in some lock variant): give
    // back the variants that were taken.
    const QString error = m_error;
    grab(shortcut, false);
    m_error = error;
    return false;
}

bool QHotkeyPrivateX11::unregisterNative(QHotkey::NativeShortcut shortcut)
{
    return grab(shortcut, false);
}

bool QHotkeyPrivateX11::isKeyHeld(QHotkey::NativeShortcut shortcut)
{
    xcb_query_keymap_reply_t *reply =
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr);
    if (!reply)
        return false; // never keep a combination held on a broken connection
    const quint32 key = shortcut.key;
    const bool held = key < 256 && (reply->keys[key / 8] & (1u << (key % 8)));
    std::free(reply);
    return held;
}

bool QHotkeyPrivateX11::nativeEventFilter(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    switch (event->response_type & ~0x80) {
    case XCB_KEY_PRESS: {
        auto *press = reinterpret_cast<xcb_key_press_event_t *>(event);
        if (press->event != m_root)
            return false;
        const QHotkey::NativeShortcut shortcut(press->detail, press->state & kComboMask);
        if (holders(shortcut) == 0)
            return false;
        activateShortcut(shortcut);
        return true;
    }
    case XCB_KEY_RELEASE: {
        auto *release = reinterpret_cast<xcb_key_release_event_t *>(event);
        if (release->event != m_root)
            return false;
        if (release->detail == activeShortcut().key)
            checkRelease();
        return true;
    }
    case XCB_MAPPING_NOTIFY:
        if (m_symbols)
            xcb_refresh_keyboard_mapping(m_symbols, reinterpret_cast<xcb_mapping_notify_event_t *>(event));
        m_numLockMask = findNumLockMask();
        return false;
    default:
        return false;
    }
}
