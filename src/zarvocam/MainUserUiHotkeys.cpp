// MainUserUi: the keyboard. The Alt keys drive the current camera either
// system-wide (global hotkeys, shortcut range 1) or while the application
// has the focus (application shortcuts, range 0); the remote control's
// buttons arrive as Ctrl+Alt keys and are global hotkeys while the remote
// control is enabled; Ctrl+Shift+Z flips the range from anywhere.

#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "3rdparty/qhotkey/QHotkey.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/DevButton.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/GimbalControl.h"
#include "uicomm/UiLook.h"
#include "zarvocam/HotKeyList.h"

#include <QPointer>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>

using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;

// ---------------------------------------------------------------------------
// The bindings

void MainUserUi::initHotkeys()
{
    // The settings panel's hotkeys help opens the list of all keys.
    m_systemSetting->setHotkeyList(new HotKeyList(m_systemSetting));
    // Alt table: trigger source "KEY".
    for (int number = 1; number <= 4; ++number)
        addKeyBinding(QStringLiteral("Alt+%1").arg(number), KeyNeeds::Nothing, [this, number] { keySelectDev(number); });
    addKeyBinding(QStringLiteral("Alt+R"), KeyNeeds::Camera, [this] { on_pbDirectionReset_clicked(); });
    addKeyBinding(QStringLiteral("Alt+I"), KeyNeeds::Camera, [this] { shortcutZoomIn(); });
    addKeyBinding(QStringLiteral("Alt+O"), KeyNeeds::Camera, [this] { shortcutZoomOut(); });
    addKeyBinding(QStringLiteral("Alt+J"), KeyNeeds::CameraFramingOff, [this] { ui->slZoom->setValue(SliderMax); });
    addKeyBinding(QStringLiteral("Alt+K"), KeyNeeds::CameraFramingOff, [this] { ui->slZoom->setValue(0); });
    const struct
    {
        const char *keys;
        Qt::Key key;
    } moves[] = {{"Up", Qt::Key_Up}, {"Down", Qt::Key_Down}, {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}};
    for (const auto &move : moves) {
        const Qt::Key key = move.key;
        // The hotkey moves until its release; the shortcut until the window
        // sees the arrow key go up.
        addKeyBinding(QStringLiteral("Alt+") + QLatin1String(move.keys), KeyNeeds::CameraFramingOff,
                      [this, key] { keyDirection(key); }, [this] { keyDirectionStop(SourceKey); });
    }
    QHotkey *sleepKey = addKeyBinding(QStringLiteral("Alt+T"), KeyNeeds::Camera, {});
    QShortcut *sleepShortcut = m_keyShortcuts.last();
    connect(sleepKey, &QHotkey::activated, this, [this, sleepKey] { keySleepResume(sleepKey); });
    connect(sleepShortcut, &QShortcut::activated, this, [this, sleepShortcut] { keySleepResume(sleepShortcut); });
    addKeyBinding(QStringLiteral("Alt+D"), KeyNeeds::Camera, [this] { on_pbView65_clicked(); });
    addKeyBinding(QStringLiteral("Alt+F"), KeyNeeds::Camera, [this] { on_pbView78_clicked(); });
    addKeyBinding(QStringLiteral("Alt+G"), KeyNeeds::Camera, [this] { on_pbView86_clicked(); });
    addKeyBinding(QStringLiteral("Alt+B"), KeyNeeds::Camera, [this] { keyVirtualBg(&MainUserUi::on_pbBgBlur_clicked); });
    addKeyBinding(QStringLiteral("Alt+V"), KeyNeeds::Camera,
                  [this] { keyVirtualBg(&MainUserUi::on_pbBgGreenScreen_clicked); });
    addKeyBinding(QStringLiteral("Alt+C"), KeyNeeds::Camera,
                  [this] { keyVirtualBg(&MainUserUi::on_pbBgReplace_clicked); });
    addKeyBinding(QStringLiteral("Alt+N"), KeyNeeds::Camera, [this] { keyFraming(&MainUserUi::on_pbSingleMode_clicked); });
    addKeyBinding(QStringLiteral("Alt+M"), KeyNeeds::Camera, [this] { keyFraming(&MainUserUi::on_pbGroupMode_clicked); });
    addKeyBinding(QStringLiteral("Alt+Z"), KeyNeeds::Camera, [this] { keyStandardMode(); });
    addKeyBinding(QStringLiteral("Alt+S"), KeyNeeds::Camera, [this] { keyOpenSettings(); });

    // Remote control: trigger source "REMOTE".
    for (const auto &move : moves) {
        const Qt::Key key = move.key;
        addRemoteBinding(QStringLiteral("Ctrl+Alt+") + QLatin1String(move.keys), KeyNeeds::Camera,
                         [this, key] { keyDirection(key); }, [this] { keyDirectionStop(SourceRemote); });
    }
    addRemoteBinding(QStringLiteral("Ctrl+Alt+F"), KeyNeeds::Camera, [this] { shortcutZoomIn(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+H"), KeyNeeds::Camera, [this] { shortcutZoomOut(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+0"), KeyNeeds::Camera, [this] { on_pbDirectionReset_clicked(); });
    QHotkey *remoteSleepKey = addRemoteBinding(QStringLiteral("Ctrl+Alt+T"), KeyNeeds::Camera, {});
    connect(remoteSleepKey, &QHotkey::activated, this, [this, remoteSleepKey] { keySleepResume(remoteSleepKey); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+1"), KeyNeeds::Camera, [this] { shortcutPreDev(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+2"), KeyNeeds::Camera, [this] { shortcutNextDev(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+9"), KeyNeeds::CameraFramingOff, [this] { keyStepFov(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+8"), KeyNeeds::Camera, [this] { keyStandardMode(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+7"), KeyNeeds::Camera, [this] { keyStepBgOption(); });
    addRemoteBinding(QStringLiteral("Ctrl+Alt+6"), KeyNeeds::Camera, [this] { keyStepFraming(); });

    GlobalParams *params = GlobalParams::instance();
    onShortcutRangeChanged(params->getShortcutRange());
    onRemoteCtrlEnabled(params->getShortcutExt());

    // The range switch key works in both ranges and needs no camera. Where
    // it cannot be had system-wide, it still works inside the application.
    const QKeySequence rangeKeys(QStringLiteral("Ctrl+Shift+Z"));
    m_rangeHotkey = new QHotkey(rangeKeys, true, this);
    connect(m_rangeHotkey, &QHotkey::activated, this, &MainUserUi::toggleGlobalHotkeys);
    m_rangeShortcut = new QShortcut(rangeKeys, this, nullptr, nullptr, Qt::ApplicationShortcut);
    m_rangeShortcut->setAutoRepeat(false);
    m_rangeShortcut->setEnabled(!m_rangeHotkey->isRegistered());
    connect(m_rangeShortcut, &QShortcut::activated, this, &MainUserUi::toggleGlobalHotkeys);
}

QHotkey *MainUserUi::addKeyBinding(const QString &keys, KeyNeeds needs, const std::function<void()> &press,
                                   const std::function<void()> &release)
{
    const QKeySequence sequence(keys);
    auto *hotkey = new QHotkey(sequence, false, this);
    auto *shortcut = new QShortcut(sequence, this, nullptr, nullptr, Qt::ApplicationShortcut);
    shortcut->setAutoRepeat(false);
    shortcut->setEnabled(false);
    if (press) {
        auto run = [this, needs, press] { runKeyAction(SourceKey, needs, press); };
        connect(hotkey, &QHotkey::activated, this, run);
        connect(shortcut, &QShortcut::activated, this, run);
    }
    if (release)
        connect(hotkey, &QHotkey::released, this, release);
    m_keyHotkeys.append(hotkey);
    m_keyShortcuts.append(shortcut);
    return hotkey;
}

QHotkey *MainUserUi::addRemoteBinding(const QString &keys, KeyNeeds needs, const std::function<void()> &press,
                                      const std::function<void()> &release)
{
    auto *hotkey = new QHotkey(QKeySequence(keys), false, this);
    if (press)
        connect(hotkey, &QHotkey::activated, this, [this, needs, press] { runKeyAction(SourceRemote, needs, press); });
    if (release)
        connect(hotkey, &QHotkey::released, this, release);
    m_remoteHotkeys.append(hotkey);
    return hotkey;
}

void MainUserUi::runKeyAction(int source, KeyNeeds needs, const std::function<void()> &action)
{
    if (needs != KeyNeeds::Nothing && !currentDev())
        return;
    if (needs == KeyNeeds::CameraFramingOff && m_framingOn)
        return;
    // The action may wait (waking camera, message box): the window may be
    // gone when it returns.
    QPointer<MainUserUi> self(this);
    const int previous = m_triggerSource;
    m_triggerSource = source;
    action();
    if (self)
        m_triggerSource = previous;
}

// ---------------------------------------------------------------------------
// Switches

void MainUserUi::onShortcutRangeChanged(int shortcut_range)
{
    if (shortcut_range != 0 && shortcut_range != 1)
        return;
    m_shortcutRange = shortcut_range;
    for (QHotkey *hotkey : qAsConst(m_keyHotkeys))
        applyKeyState(hotkey);
    GlobalParams *params = GlobalParams::instance();
    params->setShortcutRange(shortcut_range);
    params->saveSettings();
}

void MainUserUi::onRemoteCtrlEnabled(bool enabled)
{
    m_remoteKeys = enabled;
    for (QHotkey *hotkey : qAsConst(m_remoteHotkeys))
        applyKeyState(hotkey);
    GlobalParams *params = GlobalParams::instance();
    params->setShortcutExt(enabled);
    params->saveSettings();
}

// An Alt key is either a registered hotkey or an enabled application
// shortcut: range 0 wants the shortcut, range 1 the hotkey. Where the hotkey
// cannot be had (no X11, or another program holds the combination) the
// shortcut stands in for it, so the key still works inside the application.
void MainUserUi::applyKeyState(QObject *key)
{
    if (m_restingKeys.contains(key))
        return;
    if (auto *shortcut = qobject_cast<QShortcut *>(key)) {
        QHotkey *twin = m_keyHotkeys.value(m_keyShortcuts.indexOf(shortcut));
        shortcut->setEnabled(twin && !twin->isRegistered() && !m_restingKeys.contains(twin));
        return;
    }
    auto *hotkey = qobject_cast<QHotkey *>(key);
    if (!hotkey)
        return;
    const bool wanted = m_remoteHotkeys.contains(hotkey) ? m_remoteKeys : m_shortcutRange == 1;
    // A combination another program holds stays unregistered (logged).
    if (hotkey->isRegistered() != wanted)
        hotkey->setRegistered(wanted);
    const int twin = m_keyHotkeys.indexOf(hotkey);
    if (twin >= 0)
        applyKeyState(m_keyShortcuts.at(twin));
}

// The key stops working for a while and then follows the switches again.
void MainUserUi::pauseKey(QObject *key)
{
    if (m_restingKeys.contains(key))
        return;
    m_restingKeys.append(key);
    if (auto *hotkey = qobject_cast<QHotkey *>(key))
        hotkey->setRegistered(false);
    else if (auto *shortcut = qobject_cast<QShortcut *>(key))
        shortcut->setEnabled(false);
    QPointer<QObject> guarded(key);
    QTimer::singleShot(TimeScale::ms(SleepKeyPauseMs), this, [this, guarded] {
        if (!guarded)
            return;
        m_restingKeys.removeAll(guarded.data());
        applyKeyState(guarded);
    });
}

void MainUserUi::toggleGlobalHotkeys()
{
    // The settings panel owns the switch; it reports the new state back
    // (events 7 and 8), which changes the range.
    m_systemSetting->on_pbGlobalHotkeys_clicked();
}

// ---------------------------------------------------------------------------
// Actions

void MainUserUi::keyDirection(int key)
{
    m_direction->keyEntry(key);
}

// A hotkey's release ends the view move its press started (a press that
// could not move leaves the pad idle); the crop-area report then names the
// keyboard or the remote control.
void MainUserUi::keyDirectionStop(int source)
{
    if (!m_direction->isPadEnabled() || !m_direction->isPressed())
        return;
    m_cropAreaCounter = source == SourceRemote ? GimbalControl::CropBandRemote : GimbalControl::CropBandKey;
    m_direction->keyEntry(0);
}

void MainUserUi::keySleepResume(QObject *key)
{
    const int source = m_remoteHotkeys.contains(qobject_cast<QHotkey *>(key)) ? SourceRemote : SourceKey;
    runKeyAction(source, KeyNeeds::Camera, [this, key] {
        // Rest first: the toggle may wait for the camera, and a second press
        // meanwhile must not undo it.
        pauseKey(key);
        on_devSleepResume();
    });
}

void MainUserUi::keySelectDev(int number)
{
    if (number < 1 || number > m_devButtons.size())
        return;
    DevButton *button = m_devButtons.at(number - 1);
    if (!button->isOccupied() || button->isSelected())
        return;
    selectButtonAt(number - 1);
}

void MainUserUi::keyVirtualBg(void (MainUserUi::*chooseOption)())
{
    // A click, so that a switch still deaf from its last use stays so.
    if (!m_bgOn)
        ui->pbVirtualBg->click();
    if (m_bgOn)
        (this->*chooseOption)();
}

void MainUserUi::keyFraming(void (MainUserUi::*chooseMode)())
{
    if (!m_framingOn)
        ui->pbAutoFraming->click();
    if (m_framingOn)
        (this->*chooseMode)();
}

void MainUserUi::keyStandardMode()
{
    if (m_bgOn)
        ui->pbVirtualBg->click();
    else if (m_framingOn)
        ui->pbAutoFraming->click();
}

void MainUserUi::keyOpenSettings()
{
    if (!m_systemSetting->isHidden())
        on_pbCameraCtrl_clicked();
    on_pbSystemSetting_clicked();
    m_systemSetting->raise();
    m_systemSetting->activateWindow();
}

// 86° -> 65° -> 78° -> 86°, by the view button shown selected.
void MainUserUi::keyStepFov()
{
    if (UiLook::look(ui->pbView86) == UiLook::Look::Selected)
        on_pbView65_clicked();
    else if (UiLook::look(ui->pbView65) == UiLook::Look::Selected)
        on_pbView78_clicked();
    else
        on_pbView86_clicked();
}

// Blur -> green screen -> replacement -> blur, by the options page shown.
void MainUserUi::keyStepBgOption()
{
    if (!m_bgOn) {
        ui->pbVirtualBg->click();
        return;
    }
    switch (ui->swOptionSet->currentIndex()) {
    case 0:
        on_pbBgGreenScreen_clicked();
        break;
    case 1:
        on_pbBgReplace_clicked();
        break;
    default:
        on_pbBgBlur_clicked();
        break;
    }
}

void MainUserUi::keyStepFraming()
{
    if (!m_framingOn) {
        ui->pbAutoFraming->click();
        return;
    }
    if (UiLook::look(ui->pbGroupMode) == UiLook::Look::Selected)
        on_pbSingleMode_clicked();
    else
        on_pbGroupMode_clicked();
}
