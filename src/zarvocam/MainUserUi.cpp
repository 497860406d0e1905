#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/AppTask.h"
#include "comm/DevUsageSnapshot.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/GimbalControl.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/UiLook.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "zarvocam/CurrentCameraGimbal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

#include <mutex>

using vexo::pc::CameraStatus;
using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevices;

// Q_INIT_RESOURCE must be used outside any namespace.
static void initMainWindowResources()
{
    Q_INIT_RESOURCE(zarvo_ui);
}

namespace {

// Status updates this soon after a user action would undo what the user
// just did: the camera has not applied it yet.
constexpr qint64 kUserActionQuietMs = 100;
// Zoom commands from a dragged slider are spaced at least this far apart.
constexpr qint64 kZoomSendIntervalMs = 100;
constexpr qint64 kZoomShortcutIntervalMs = 100;
// A switch ignores clicks this long after one (the camera needs the time to
// change its media mode).
constexpr int kSwitchDeafMs = 4000;
constexpr int kReportIntervalMs = 600000;
constexpr int kReportDueMinMs = 90000;
constexpr int kReportDelayMs = 10000;
constexpr int kMaxVisibleDevButtons = 4;
constexpr int kMaxDevIndex = 10;
constexpr int kHelpGap = 4;

constexpr int kFullHeight = 600;
constexpr int kCompactHeight = 510;
constexpr int kWindowWidth = 800;

// Switch states (UiLook::Switch by number, for the tables below).
enum SwitchState { SwitchOn, SwitchOff, SwitchUnavailable };

// Colour-button states of the green-screen page.
constexpr int kColorBlue = 0;
constexpr int kColorGreen = 1;
constexpr int kColorNone = -1;
constexpr int kColorDimmed = -2;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

int statusByte(const CameraStatus &s, int offset)
{
    return s.byte(offset);
}

QString languageFile(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("/language/ZarvoCam_zh_CN.qm");
    case 2:
        return QStringLiteral("/language/ZarvoCam_zh_HK.qm");
    case 3:
        return QStringLiteral("/language/ZarvoCam_jp_JP.qm");
    case 4:
        return QStringLiteral("/language/ZarvoCam_ge_GE.qm");
    case 5:
        return QStringLiteral("/language/ZarvoCam_es_ES.qm");
    default:
        return QStringLiteral("/language/ZarvoCam_en_US.qm");
    }
}

void setBlocked(QWidget *widget, bool blocked)
{
    widget->blockSignals(blocked);
}

} // namespace

MainUserUi::MainUserUi(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainUserUi)
{
    static std::once_flag resourcesOnce;
    std::call_once(resourcesOnce, initMainWindowResources);
    UiLook::initResources();
    vexo::pc::registerCameraStatusMetaType();

    GlobalParams *params = GlobalParams::instance();

    // 1: widgets and the settings panel, a window of its own beside this one.
    ui->setupUi(this);
    QString sheet = UiLook::windowStyleSheet(QStringLiteral("mainwindow"));
    QFile panelSheet(QStringLiteral(":/source/zarvocam/qss/mainpanel.qss"));
    if (panelSheet.open(QIODevice::ReadOnly))
        sheet += QLatin1Char('\n') + QString::fromUtf8(panelSheet.readAll());
    setStyleSheet(sheet);
    m_systemSetting = new SystemSettingUi(this);
    m_systemSetting->hide();
    connect(m_systemSetting, &SystemSettingUi::sendSettingEvent, this, &MainUserUi::recvSignalFromSysSetting);

    // 2: the sleep page over the whole window.
    m_devSleep = new DevSleep(this);
    connect(m_devSleep, &DevSleep::devChanged, this, &MainUserUi::onDevChangedFromSleepUi);
    connect(m_devSleep, &DevSleep::devResumed, this, [this] {
        m_triggerSource = SourceMouse;
        onDevResumed();
    });
    m_devSleep->hide();

    // 3: state, direction pad, picture strip.
    m_lastUserAction = nowMs();
    m_direction = new DirectionHandler(ui->wDevCtrl);
    m_direction->setGeometry(425, 325, 200, 200);
    m_direction->setBgSize(180);
    m_direction->setKnobSize(44);
    m_direction->show();
    m_gimbalCamera = std::make_unique<CurrentCameraGimbal>([this] { return currentDev(); });
    m_gimbal = new GimbalControl(m_gimbalCamera.get(), this);
    connect(m_direction, &DirectionHandler::ctrlRef, this, &MainUserUi::onGimbalCtrlRef);
    connect(m_gimbal, &GimbalControl::viewStopped, this,
            [this] { m_cropAreaCounter = GimbalControl::cropAreaBandStart(m_cropAreaCounter); });
    connect(m_gimbal, &GimbalControl::viewReset, this,
            [this] { fileUsageEvent(QStringLiteral("reset_crop_area"), QString(), m_triggerSource); });
    connect(m_gimbal, &GimbalControl::zoomSliderRequested, ui->slZoom, &QSlider::setValue);
    // The three picture slots of the replacement page; they become the
    // picture items once pictures can be uploaded.
    for (int i = 0; i < 3; ++i) {
        auto *slot = new QLabel(ui->wImageItems);
        slot->setObjectName(QStringLiteral("lbImageSlot%1").arg(i));
        slot->setProperty("role", QStringLiteral("imageSlot"));
        slot->setGeometry(132 * i, 0, 116, 65);
        slot->setAlignment(Qt::AlignCenter);
        slot->setPixmap(QIcon(QStringLiteral(":/source/zarvocam/icon/icon_add@3x")).pixmap(24, 24));
        m_imageSlots.append(slot);
    }

    // 4: the device registry and its scan thread.
    UvcDevices *devices = UvcDevices::instance();
    connect(devices, &UvcDevices::devChanged, this, &MainUserUi::onDevChanged);
    if (!devices->isRunning())
        devices->start();

    // 6: the desktop's horizontal bounds, for placing the settings panel.
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (!screens.isEmpty()) {
        m_desktopLeft = screens.first()->geometry().left();
        m_desktopRight = screens.first()->geometry().left() + screens.first()->geometry().width();
        for (const QScreen *screen : screens) {
            m_desktopLeft = qMin(m_desktopLeft, screen->geometry().left());
            m_desktopRight = qMax(m_desktopRight, screen->geometry().left() + screen->geometry().width());
        }
    }

    // 7: periodic usage reports.
    connect(&m_reportTimer, &QTimer::timeout, this, &MainUserUi::onReportTimer);
    m_reportTimer.start(kReportIntervalMs);

    // 8: focus, tabs, icon, the "None" placeholder, no camera yet.
    setFocusPolicy(Qt::StrongFocus);
    initLooks();
    setActiveTab(true);
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    DevButton *none = createDevButton(0);
    none->setText(tr("None"));
    m_devButtons.append(none);
    setControlsEnabled(false);

    // 10: language, window frame, layout.
    onChangeLanguage(params->getLanguageType());
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    m_virtualBgAvailable = params->getPcVirtualBg();
    applyLayout();

    // Cameras the registry announced before this window listened.
    const QList<vexo::pc::UvcDevicePtr> known = devices->devices();
    for (const vexo::pc::UvcDevicePtr &dev : known) {
        if (dev->devMode() != UvcDevice::DevModeUpgrade)
            onDevChanged(dev->getSn().toLatin1(), true);
    }
}

MainUserUi::~MainUserUi()
{
    QObject::disconnect(m_stateConnection);
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }
    delete ui;
}

void MainUserUi::adjustAfterShow()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    placeHelpButtons();
}

// ---------------------------------------------------------------------------
// Cameras and buttons

vexo::pc::UvcDevicePtr MainUserUi::currentDev() const
{
    if (m_currentSn.isEmpty())
        return nullptr;
    return UvcDevices::instance()->findDevBySn(m_currentSn);
}

DevButton *MainUserUi::createDevButton(int index)
{
    auto *button = new DevButton(index, ui->wDevCtrl);
    connect(button, &DevButton::devBtnSelected, this, &MainUserUi::onDevSelectedChanged);
    connect(button, &DevButton::devBtnNameChanged, this, &MainUserUi::onDevRenamed);
    button->setVisible(index < kMaxVisibleDevButtons);
    return button;
}

void MainUserUi::renumberDevButtons()
{
    for (int i = 0; i < m_devButtons.size(); ++i) {
        m_devButtons.at(i)->setIndex(i);
        m_devButtons.at(i)->setVisible(i < kMaxVisibleDevButtons);
    }
}

DevButton *MainUserUi::selectedButton() const
{
    for (DevButton *button : m_devButtons) {
        if (button->isSelected())
            return button;
    }
    return nullptr;
}

void MainUserUi::selectButtonAt(int index)
{
    if (index < 0 || index >= m_devButtons.size())
        return;
    onDevSelectedChanged(m_devButtons.at(index));
}

// The name a camera gets in the row: its stored name unless another button
// shows it already, else the first free number "1".."10" (stored).
QString MainUserUi::assignDevIndex(const QString &sn)
{
    GlobalParams *params = GlobalParams::instance();
    QStringList used;
    for (const DevButton *button : qAsConst(m_devButtons)) {
        if (button->isOccupied())
            used.append(button->devInfo().devName);
    }
    QString firstFree = QString::number(kMaxDevIndex);
    for (int i = 1; i <= kMaxDevIndex; ++i) {
        if (!used.contains(QString::number(i))) {
            firstFree = QString::number(i);
            break;
        }
    }

    const GlobalParams::DevInfo record = params->getDevInfo(sn);
    if (record.devSn.isEmpty()) {
        params->setDevName(firstFree, sn);
    } else {
        const QString name = record.devName.trimmed().isEmpty() ? QStringLiteral("1") : record.devName;
        if (used.contains(name))
            params->setDevName(firstFree, sn);
        else if (name != record.devName)
            params->setDevName(name, sn);
    }
    return params->getDevInfo(sn).devName;
}

void MainUserUi::onDevChanged(QByteArray dev_sn, bool flag)
{
    const QString sn = QString::fromLatin1(dev_sn);
    if (!flag) {
        int index = -1;
        for (int i = 0; i < m_devButtons.size(); ++i) {
            if (m_devButtons.at(i)->isOccupied() && m_devButtons.at(i)->devSn() == sn) {
                index = i;
                break;
            }
        }
        if (index < 0)
            return;
        qInfo() << "Device removed:" << sn;
        DevButton *button = m_devButtons.takeAt(index);
        button->disconnect(this);
        m_devSleep->removeDev(index);
        delete button;
        if (!m_devButtons.isEmpty()) {
            renumberDevButtons();
            if (!selectedButton()) {
                DevButton *first = m_devButtons.first();
                first->setLook(first->isOccupied() ? DevButton::LookCurrent : DevButton::LookUnoccupied);
                onDevSelectedChanged(first);
            }
        } else {
            DevButton *none = createDevButton(0);
            none->setText(tr("None"));
            m_devButtons.append(none);
            onDevSelectedChanged(none);
        }
        return;
    }

    if (sn.isEmpty())
        return;
    for (const DevButton *button : qAsConst(m_devButtons)) {
        if (button->isOccupied() && button->devSn() == sn)
            return; // announced already
    }
    qInfo() << "Device added:" << sn;
    assignDevIndex(sn);
    const GlobalParams::DevInfo record = GlobalParams::instance()->getDevInfo(sn);

    const int left = m_reportTimer.remainingTime();
    if (left < 0 || left >= kReportDueMinMs) {
        QTimer::singleShot(kReportDelayMs, this, [this, sn] {
            const vexo::pc::UvcDevicePtr dev = UvcDevices::instance()->findDevBySn(sn);
            if (dev && dev->devMode() == UvcDevice::DevModeUvc)
                startDevReports(sn, dev->getSysType() == 1);
        });
    }

    DevButton *first = m_devButtons.value(0);
    if (first && !first->isOccupied()) {
        first->setDevInfo(record);
        first->setOccupied(true);
        first->setText(record.devName);
        m_devSleep->setDevName(0, record.devName);
        onDevSelectedChanged(first);
        if (sn == m_pendingSn)
            m_pendingSn.clear();
        return;
    }

    const int before = m_devButtons.size();
    DevButton *button = createDevButton(before);
    button->setOccupied(true);
    button->setLook(DevButton::LookOther);
    button->setDevInfo(record);
    button->setText(record.devName);
    m_devButtons.append(button);
    button->setVisible(before < kMaxVisibleDevButtons);
    m_devSleep->addDev(record.devName);
    if (!m_pendingSn.isEmpty() && sn == m_pendingSn) {
        onDevSelectedChanged(button);
        const vexo::pc::UvcDevicePtr dev = UvcDevices::instance()->findDevBySn(sn);
        if (dev && dev->devMode() == UvcDevice::DevModeUvc)
            m_pendingSn.clear();
    }
}

void MainUserUi::onDevSelectedChanged(DevButton *dev_btn)
{
    if (!dev_btn || !m_devButtons.contains(dev_btn))
        return;

    // 1: the previous camera stops feeding this window.
    QObject::disconnect(m_stateConnection);
    m_stateConnection = QMetaObject::Connection();

    // 2: the placeholder stands for no camera.
    if (!dev_btn->isOccupied()) {
        m_currentSn.clear();
        m_systemSetting->setNoDevice();
        setControlsEnabled(false);
        m_awake = false;
        m_devSleep->hide();
        return;
    }

    // 3: looks of the row.
    setControlsEnabled(true);
    m_currentSn = dev_btn->devSn();
    for (DevButton *button : qAsConst(m_devButtons)) {
        const bool chosen = button == dev_btn;
        button->setSelected(chosen);
        button->setLook(chosen ? DevButton::LookCurrent : DevButton::LookOther);
    }
    m_devSleep->setCurrentIndex(m_devButtons.indexOf(dev_btn));

    // 4: only the current camera reports its status.
    UvcDevices *devices = UvcDevices::instance();
    const QList<vexo::pc::UvcDevicePtr> all = devices->devices();
    for (const vexo::pc::UvcDevicePtr &dev : all)
        dev->setStatusSignalEnabled(false);
    const vexo::pc::UvcDevicePtr dev = devices->findDevBySn(m_currentSn);
    if (!dev) {
        qInfo() << "Selected device is gone:" << m_currentSn;
        return;
    }
    dev->setStatusPollCount(80);
    markUserAction();
    CameraStatus status;
    if (!dev->getCameraStatus(status))
        status = dev->cachedStatus();
    const int runState = status.runState();
    if (runState == 1) {
        m_devSleep->hide();
        m_awake = true;
    } else if (runState == 3 || runState == 4) {
        m_devSleep->show();
        m_devSleep->raise();
        m_awake = false;
    }

    // 5
    GlobalParams::instance()->setCurrDevSn(m_currentSn);
    m_zoom4x = dev->is4KDevice();
    m_framingSizeHidden = statusByte(status, CameraStatus::ScreenMode) != 0;
    m_systemSetting->setCurrentDevice(dev_btn->devInfo(), status);
    dev->setStatusSignalEnabled(true);

    // 6: zoom.
    const int zoom = qMin(status.zoom(), 100);
    setZoomReadout(zoom);
    setBlocked(ui->slZoom, true);
    ui->slZoom->setValue(zoom);
    setBlocked(ui->slZoom, false);

    // 8: the camera's status updates.
    m_stateConnection = connect(dev.get(), &UvcDevice::devStateUpdate, this, &MainUserUi::onDevStateUpdate);

    // 9: the panel follows the camera.
    applyMode(statusByte(status, CameraStatus::MediaMode), status);
    const int blur = qMin(statusByte(status, CameraStatus::BlurLevel), 100);
    setBlurReadout(blur);
    setBlocked(ui->slBlurLevel, true);
    ui->slBlurLevel->setValue(blur);
    setBlocked(ui->slBlurLevel, false);
    m_systemSetting->setAutoSleep(status.autoSleep());
    showAwake(runState == 1);
}

void MainUserUi::onDevRenamed(DevButton *dev_btn)
{
    const int index = m_devButtons.indexOf(dev_btn);
    if (index < 0)
        return;
    m_devSleep->setDevName(index, dev_btn->text());
    m_systemSetting->setDevName(dev_btn->devSn(), dev_btn->text());
}

void MainUserUi::onDevSnMarked(QString dev_sn)
{
    m_pendingSn = dev_sn;
}

void MainUserUi::onDevChangedFromSleepUi(int index)
{
    if (index < 0 || index >= m_devButtons.size())
        return;
    selectButtonAt(index);
}

void MainUserUi::shortcutNextDev()
{
    for (int i = 0; i < m_devButtons.size(); ++i) {
        const DevButton *button = m_devButtons.at(i);
        if (button->isOccupied() && button->isSelected()) {
            const int next = qMin(i + 1, m_devButtons.size() - 1);
            if (next != i)
                selectButtonAt(next);
            return;
        }
    }
}

void MainUserUi::shortcutPreDev()
{
    for (int i = 0; i < m_devButtons.size(); ++i) {
        const DevButton *button = m_devButtons.at(i);
        if (button->isOccupied() && button->isSelected()) {
            if (i > 0)
                selectButtonAt(i - 1);
            return;
        }
    }
}

void MainUserUi::onCurrDevStateRefresh()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    CameraStatus status;
    if (!dev->getCameraStatus(status))
        return;
    m_systemSetting->setCurrentDevice(GlobalParams::instance()->getDevInfo(m_currentSn), status);
}

// ---------------------------------------------------------------------------
// Status updates

void MainUserUi::onDevStateUpdate(vexo::pc::CameraStatus camera_status)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    // 1: only the current camera, and never right after a user action.
    if (!dev)
        return;
    if (sender() && sender() != dev.get())
        return;
    if (nowMs() - m_lastUserAction < kUserActionQuietMs)
        return;

    // 2: run state.
    const int runState = camera_status.runState();
    if ((runState == 3 || runState == 4) && m_awake) {
        m_triggerSource = SourceDevice;
        putCurrentToSleep(-100);
        m_triggerSource = SourceMouse;
    } else if (runState == 1 && !m_awake) {
        m_triggerSource = SourceDevice;
        onDevResumed();
        m_triggerSource = SourceMouse;
        // Waking waits for the camera: it may have gone meanwhile.
        if (!currentDev())
            return;
    }
    if (runState != 1)
        return;

    // 3: zoom, unless a user zoom is still settling.
    const int zoom = qMin(camera_status.zoom(), 100);
    ++m_zoomHoldOff;
    if (m_zoomHoldOff > 0)
        m_zoomHoldOff = 0;
    if (m_zoomHoldOff >= 0) {
        if (ui->slZoom->value() != zoom) {
            setZoomReadout(zoom);
            setBlocked(ui->slZoom, true);
            ui->slZoom->setValue(zoom);
            setBlocked(ui->slZoom, false);
        }
        if (m_pendingZoomReport != SourceNone) {
            fileUsageEvent(QStringLiteral("zooming"), ui->lbZoomValue->text(), m_pendingZoomReport);
            m_pendingZoomReport = SourceNone;
        }
    }

    // 4: blur level.
    if (m_bgOn) {
        const int blur = qMin(statusByte(camera_status, CameraStatus::BlurLevel), 100);
        setBlurReadout(blur);
        setBlocked(ui->slBlurLevel, true);
        ui->slBlurLevel->setValue(blur);
        setBlocked(ui->slBlurLevel, false);
        if (m_pendingBlurReport != SourceNone) {
            fileUsageEvent(QStringLiteral("set_background_blur_level"), ui->lbBlurLevelValue->text(),
                           m_pendingBlurReport);
            m_pendingBlurReport = SourceNone;
        }
    }

    // 5: the panel follows the reported mode.
    m_framingSizeHidden = statusByte(camera_status, CameraStatus::ScreenMode) != 0;
    m_systemSetting->updateDevStatus(camera_status);
    applyMode(statusByte(camera_status, CameraStatus::MediaMode), camera_status);

    // 6: the view stopped moving a while ago: report who moved it.
    if (m_cropAreaCounter > 0) {
        ++m_cropAreaCounter;
        int source = -1;
        if (m_cropAreaCounter == 30)
            source = SourceMouse;
        else if (m_cropAreaCounter == 60)
            source = SourceKey;
        else if (m_cropAreaCounter >= 90)
            source = SourceRemote;
        if (source >= 0) {
            m_cropAreaCounter = 0;
            fileUsageEvent(QStringLiteral("set_crop_area"), QString(), source);
        }
    }
}

// ---------------------------------------------------------------------------
// Sleep and wake

void MainUserUi::putCurrentToSleep(int pollCount)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->setStatusPollCount(pollCount);
    markUserAction();
    dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep);
    m_awake = false;
    fileUsageEvent(QStringLiteral("to_sleep"), QString(), m_triggerSource);
    m_devSleep->show();
    m_devSleep->raise();
    const int index = m_devSleep->currentIndex();
    if (index >= 0 && index < DevSleep::MaxRowButtons)
        m_devSleep->setSleepTime(index, nowMs());
    m_systemSetting->setDevAwake(false);
}

void MainUserUi::wakeCurrent(int pollCount)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    const int source = m_triggerSource;
    dev->cameraSetDevRunStatus(UvcDevice::DevStatusResume);
    m_awake = true;
    dev->setStatusPollCount(pollCount);
    markUserAction();
    // The camera takes about a second to come up; the window stays live.
    QPointer<MainUserUi> self(this);
    TimeScale::waitWithEvents(1000);
    // The camera may have gone meanwhile; its removal has reset the window.
    if (!self || !currentDev())
        return;
    m_systemSetting->setDevAwake(true);
    m_devSleep->hide();
    fileUsageEvent(QStringLiteral("to_wake"), QString(), source);
}

void MainUserUi::onDevResumed()
{
    wakeCurrent(-100);
}

void MainUserUi::on_devSleepResume()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->setStatusPollCount(-150);
    markUserAction();
    if (m_awake)
        putCurrentToSleep(-150);
    else
        wakeCurrent(-150);
}

void MainUserUi::on_pbDevStatus_clicked()
{
    putCurrentToSleep(-100);
}

void MainUserUi::showAwake(bool awake)
{
    m_awake = awake;
    m_systemSetting->setDevAwake(awake);
    if (awake) {
        m_devSleep->hide();
    } else {
        m_devSleep->show();
        m_devSleep->raise();
    }
}

void MainUserUi::markUserAction()
{
    m_lastUserAction = nowMs();
}

void MainUserUi::scheduleStatusRead(UvcDevice *dev, int pollCount)
{
    if (dev)
        dev->setStatusPollCount(pollCount);
}

// ---------------------------------------------------------------------------
// Control panel: looks

void MainUserUi::initLooks()
{
    const QString option = QStringLiteral("option");
    const struct
    {
        QWidget *button;
        UiLook::Edge edge;
    } options[] = {
        {ui->pbGroupMode, UiLook::Edge::First},     {ui->pbSingleMode, UiLook::Edge::Last},
        {ui->pbCloseUp, UiLook::Edge::First},       {ui->pbUpperBody, UiLook::Edge::Last},
        {ui->pbBgBlur, UiLook::Edge::First},        {ui->pbBgGreenScreen, UiLook::Edge::Middle},
        {ui->pbBgReplace, UiLook::Edge::Last},      {ui->pbView86, UiLook::Edge::First},
        {ui->pbView78, UiLook::Edge::Middle},       {ui->pbView65, UiLook::Edge::Last},
    };
    for (const auto &o : options) {
        UiLook::setRole(o.button, option);
        UiLook::setEdge(o.button, o.edge);
        UiLook::setLook(o.button, UiLook::Look::Normal);
    }
    UiLook::setRole(ui->pbAutoFraming, QStringLiteral("switch"));
    UiLook::setRole(ui->pbVirtualBg, QStringLiteral("switch"));
    for (QWidget *help : {static_cast<QWidget *>(ui->pbAutoFramingHelp), static_cast<QWidget *>(ui->pbVirtualBgHelp),
                          static_cast<QWidget *>(ui->pbDirectionHelp), static_cast<QWidget *>(ui->pbSelectHelp)}) {
        UiLook::setRole(help, QStringLiteral("help"));
        help->setCursor(Qt::PointingHandCursor);
    }
    UiLook::setRole(ui->pbColorG, QStringLiteral("colorG"));
    UiLook::setRole(ui->pbColorB, QStringLiteral("colorB"));
    UiLook::setRole(ui->pbDirectionReset, QStringLiteral("round"));
    UiLook::setRole(ui->pbDevStatus, QStringLiteral("secondary"));
    UiLook::setRole(ui->lbBgOption, QStringLiteral("caption2"));
    for (QWidget *caption : {static_cast<QWidget *>(ui->lbBlurLevel), static_cast<QWidget *>(ui->lbColor),
                             static_cast<QWidget *>(ui->lbSelect)})
        UiLook::setRole(caption, QStringLiteral("caption2"));
    ui->pbUselessArea->setEnabled(false);
    ui->slZoom->setRange(0, 100);
    ui->slBlurLevel->setRange(0, 100);
}

void MainUserUi::setActiveTab(bool cameraControl)
{
    UiLook::setLook(ui->pbCameraCtrl, cameraControl ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbSystemSetting, cameraControl ? UiLook::Look::Normal : UiLook::Look::Selected);
    ui->pbCameraCtrl->setIcon(QIcon(cameraControl ? QStringLiteral(":/source/zarvocam/icon/btn_features_pre.png")
                                                  : QStringLiteral(":/source/zarvocam/icon/btn_features.png")));
    ui->pbSystemSetting->setIcon(QIcon(cameraControl ? QStringLiteral(":/source/zarvocam/icon/btn_setting.png")
                                                     : QStringLiteral(":/source/zarvocam/icon/btn_setting_pre.png")));
}

void MainUserUi::setSwitch(QPushButton *button, int state)
{
    switch (state) {
    case SwitchOn:
        UiLook::setSwitch(button, UiLook::Switch::On);
        break;
    case SwitchOff:
        UiLook::setSwitch(button, UiLook::Switch::Off);
        break;
    default:
        UiLook::setSwitch(button, UiLook::Switch::Unavailable);
        break;
    }
    button->setProperty("switchState", state);
}

void MainUserUi::deafen(QPushButton *button)
{
    setBlocked(button, true);
    QPointer<QPushButton> guarded(button);
    QTimer::singleShot(TimeScale::ms(kSwitchDeafMs), this, [this, guarded] {
        // Without a camera the switches stay blocked.
        if (guarded && !m_currentSn.isEmpty())
            setBlocked(guarded, false);
    });
}

void MainUserUi::restyleBgTabs(int bgMode)
{
    QPushButton *tabs[] = {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace};
    int chosen = -1;
    switch (bgMode) {
    case UvcDevice::MediaBgBlur:
        chosen = 0;
        break;
    case UvcDevice::MediaBgGreenScreen:
        chosen = 1;
        break;
    case UvcDevice::MediaBgReplace:
        chosen = 2;
        break;
    default:
        break;
    }
    for (int i = 0; i < 3; ++i)
        UiLook::setLook(tabs[i], i == chosen ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (chosen >= 0) {
        tabs[chosen]->raise();
        ui->swOptionSet->setCurrentIndex(chosen);
    }
}

void MainUserUi::restyleColors(int color)
{
    const bool blue = color == kColorBlue;
    const bool green = color == kColorGreen;
    ui->pbColorB->setGeometry(blue ? QRect(184, 27, 60, 26) : QRect(184, 28, 60, 24));
    ui->pbColorG->setGeometry(green ? QRect(262, 27, 60, 26) : QRect(262, 28, 60, 24));
    const UiLook::Look rest = color == kColorDimmed ? UiLook::Look::Disabled : UiLook::Look::Normal;
    UiLook::setLook(ui->pbColorB, blue ? UiLook::Look::Selected : rest);
    UiLook::setLook(ui->pbColorG, green ? UiLook::Look::Selected : rest);
}

void MainUserUi::restyleFramingMode(int framingMode)
{
    UiLook::setLook(ui->pbSingleMode, framingMode == 1 ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbGroupMode, framingMode == 0 ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (framingMode == 1)
        ui->pbSingleMode->raise();
    else if (framingMode == 0)
        ui->pbGroupMode->raise();
}

// usable: single mode, where the framing size applies.
void MainUserUi::restyleFramingSize(int framingSize, bool usable)
{
    if (!usable) {
        UiLook::setLook(ui->pbCloseUp, UiLook::Look::Disabled);
        UiLook::setLook(ui->pbUpperBody, UiLook::Look::Disabled);
        setBlocked(ui->pbCloseUp, true);
        setBlocked(ui->pbUpperBody, true);
        return;
    }
    UiLook::setLook(ui->pbCloseUp, framingSize == 0 ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbUpperBody, framingSize == 1 ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (framingSize == 0)
        ui->pbCloseUp->raise();
    else if (framingSize == 1)
        ui->pbUpperBody->raise();
    setBlocked(ui->pbCloseUp, false);
    setBlocked(ui->pbUpperBody, false);
}

void MainUserUi::restyleViewButtons(int fov)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    for (int i = 0; i < 3; ++i)
        UiLook::setLook(views[i], i == fov ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (fov >= 0 && fov < 3)
        views[fov]->raise();
}

void MainUserUi::setZoomReadout(int value)
{
    const double ratio = m_zoom4x ? 1.0 + 3.0 * value / 100.0 : 1.0 + value / 100.0;
    ui->lbZoomValue->setText(QString::number(ratio, 'g', 3) + QLatin1Char('x'));
}

void MainUserUi::setBlurReadout(int value)
{
    ui->lbBlurLevelValue->setText(QString::number(value) + QLatin1Char('%'));
}

// ---------------------------------------------------------------------------
// Control panel: modes

void MainUserUi::setControlsEnabled(bool enabled)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    m_bgOn = false;
    m_framingOn = false;
    if (!enabled) {
        applyBackgroundOff();
        applyFramingOff();
        for (QPushButton *button : {ui->pbAutoFraming, ui->pbVirtualBg}) {
            setSwitch(button, SwitchUnavailable);
            setBlocked(button, true);
        }
        for (QPushButton *view : views) {
            UiLook::setLook(view, UiLook::Look::Disabled);
            view->setEnabled(false);
        }
        ui->pbDirectionReset->setEnabled(false);
        ui->pbDevStatus->setEnabled(false);
        setBlocked(ui->slBlurLevel, true);
        ui->slBlurLevel->setValue(0);
        setBlocked(ui->slBlurLevel, false);
        setBlurReadout(0);
        ui->slBlurLevel->setEnabled(false);
        ui->swOptionSet->setCurrentIndex(0);
        setBlocked(ui->slZoom, true);
        ui->slZoom->setValue(0);
        setBlocked(ui->slZoom, false);
        ui->lbZoomValue->setText(QStringLiteral("1x"));
        ui->slZoom->setEnabled(false);
        m_direction->enable(false);
        return;
    }
    for (QPushButton *button : {ui->pbAutoFraming, ui->pbVirtualBg}) {
        setSwitch(button, SwitchOff);
        setBlocked(button, false);
    }
    for (QPushButton *view : views) {
        UiLook::setLook(view, UiLook::Look::Normal);
        view->setEnabled(true);
    }
    ui->slZoom->setEnabled(true);
    ui->pbDirectionReset->setEnabled(true);
    ui->pbDevStatus->setEnabled(true);
    m_direction->enable(true);
}

void MainUserUi::applyMode(int mediaMode, const CameraStatus &values)
{
    const int fov = statusByte(values, CameraStatus::Fov);
    const bool current = !m_currentSn.isEmpty();
    switch (mediaMode) {
    case UvcDevice::MediaModeStandard:
        applyBackgroundOff();
        applyFramingOff();
        m_framingOn = false;
        setSwitch(ui->pbAutoFraming, SwitchOff);
        applyView(current, fov);
        break;
    case UvcDevice::MediaModeBackground:
        m_bgOn = true;
        setSwitch(ui->pbVirtualBg, SwitchOn);
        m_framingOn = false;
        setSwitch(ui->pbAutoFraming, SwitchOff);
        applyFramingOff();
        applyBackgroundOn(values);
        applyView(current, fov);
        break;
    case UvcDevice::MediaModeFraming:
        applyBackgroundOff();
        m_framingOn = true;
        setSwitch(ui->pbAutoFraming, SwitchOn);
        applyView(false, fov);
        applyFramingOn(statusByte(values, CameraStatus::FramingMode), statusByte(values, CameraStatus::FramingSize));
        break;
    default:
        // A mode this window does not know: leave the panel as it is.
        break;
    }
}

void MainUserUi::applyBackgroundOn(const CameraStatus &values)
{
    if (!m_bgOn) {
        applyBackgroundOff();
        return;
    }
    restyleBgTabs(statusByte(values, CameraStatus::BgMode));
    for (QPushButton *tab : {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace})
        tab->setEnabled(true);
    const int blur = qMin(statusByte(values, CameraStatus::BlurLevel), 100);
    setBlurReadout(blur);
    setBlocked(ui->slBlurLevel, true);
    ui->slBlurLevel->setValue(blur);
    setBlocked(ui->slBlurLevel, false);
    ui->slBlurLevel->setEnabled(true);
    const int color = statusByte(values, CameraStatus::GreenScreenColor);
    restyleColors(color == kColorBlue || color == kColorGreen ? color : kColorNone);
    ui->pbSelectHelp->setEnabled(true);
    for (QWidget *slot : qAsConst(m_imageSlots))
        slot->setEnabled(true);
}

void MainUserUi::applyBackgroundOff()
{
    m_bgOn = false;
    setSwitch(ui->pbVirtualBg, SwitchOff);
    for (QPushButton *tab : {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace}) {
        UiLook::setLook(tab, UiLook::Look::Disabled);
        tab->setEnabled(false);
    }
    ui->slBlurLevel->setEnabled(false);
    restyleColors(kColorDimmed);
    ui->pbSelectHelp->setEnabled(false);
    for (QWidget *slot : qAsConst(m_imageSlots))
        slot->setEnabled(false);
}

void MainUserUi::applyFramingOn(int framingMode, int framingSize)
{
    setBlocked(ui->pbGroupMode, false);
    setBlocked(ui->pbSingleMode, false);
    restyleFramingMode(framingMode);
    ui->pbCloseUp->setVisible(!m_framingSizeHidden);
    ui->pbUpperBody->setVisible(!m_framingSizeHidden);
    if (m_framingSizeHidden)
        return;
    restyleFramingSize(framingSize, framingMode == 1);
}

void MainUserUi::applyFramingOff()
{
    for (QPushButton *button : {ui->pbGroupMode, ui->pbSingleMode, ui->pbCloseUp, ui->pbUpperBody}) {
        UiLook::setLook(button, UiLook::Look::Disabled);
        setBlocked(button, true);
    }
    ui->pbCloseUp->setVisible(!m_framingSizeHidden);
    ui->pbUpperBody->setVisible(!m_framingSizeHidden);
}

void MainUserUi::applyView(bool enabled, int fov)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    for (QPushButton *view : views)
        view->setEnabled(enabled);
    if (enabled) {
        restyleViewButtons(fov);
    } else {
        for (QPushButton *view : views)
            UiLook::setLook(view, UiLook::Look::Disabled);
    }
    ui->slZoom->setEnabled(enabled);
    ui->pbDirectionReset->setEnabled(enabled);
    m_direction->enable(enabled);
}

// ---------------------------------------------------------------------------
// Control panel: handlers

void MainUserUi::sendZoom(int position)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->cameraSetZoomRatio(1.0 + position / 100.0, 100, 0);
    m_zoomHoldOff = -3;
    markUserAction();
}

void MainUserUi::on_slZoom_sliderPressed()
{
    sendZoom(ui->slZoom->sliderPosition());
}

void MainUserUi::on_slZoom_sliderReleased()
{
    if (!currentDev())
        return;
    sendZoom(ui->slZoom->sliderPosition());
    m_pendingZoomReport = SourceMouse;
}

void MainUserUi::on_slZoom_sliderMoved(int value)
{
    setZoomReadout(value);
}

void MainUserUi::on_slZoom_valueChanged(int value)
{
    setZoomReadout(value);
    if (!currentDev())
        return;
    if (m_zoomSendClock.isValid() && m_zoomSendClock.elapsed() < kZoomSendIntervalMs)
        return;
    m_zoomSendClock.start();
    sendZoom(value);
    if (m_pendingZoomReport == SourceNone)
        m_pendingZoomReport = SourceMouse;
}

void MainUserUi::sendBlur(int position)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->cameraSetMaskLevel(position);
    if (dev->statusPollCount() > 80)
        dev->setStatusPollCount(80);
    markUserAction();
}

void MainUserUi::on_slBlurLevel_sliderPressed()
{
    sendBlur(ui->slBlurLevel->sliderPosition());
}

void MainUserUi::on_slBlurLevel_sliderReleased()
{
    if (!currentDev())
        return;
    sendBlur(ui->slBlurLevel->sliderPosition());
    m_pendingBlurReport = SourceMouse;
}

void MainUserUi::on_slBlurLevel_sliderMoved(int value)
{
    setBlurReadout(value);
}

void MainUserUi::on_slBlurLevel_valueChanged(int value)
{
    setBlurReadout(value);
    if (!currentDev())
        return;
    sendBlur(value);
    if (m_pendingBlurReport == SourceNone)
        m_pendingBlurReport = SourceMouse;
}

void MainUserUi::on_pbAutoFraming_clicked()
{
    if (!currentDev())
        return;
    GlobalParams *params = GlobalParams::instance();
    if (m_bgOn && !m_framingOn && !params->getAutoFramingTips()) {
        params->setAutoFramingTips(true);
        params->saveSettings();
        MsgInfoUi box(this);
        box.setText(tr("Virtual background will be turned off once the Auto Framing is activated, also "
                       "adjustment of FoV, Zoom in/out and Direction will be disabled!"));
        box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
        box.setButtonText(MsgInfoUi::Yes, tr("Turn On"));
        box.setButtonText(MsgInfoUi::No, tr("Cancel"));
        if (box.exec() != MsgInfoUi::Yes)
            return;
    }
    // The dialog ran an event loop: the camera may have gone meanwhile.
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    m_framingOn = !m_framingOn;
    setSwitch(ui->pbAutoFraming, m_framingOn ? SwitchOn : SwitchOff);
    const int mode = m_framingOn ? UvcDevice::MediaModeFraming : UvcDevice::MediaModeStandard;
    applyMode(mode, dev->cachedStatus());
    dev->cameraSetMediaMode(UvcDevice::MediaMode(mode));
    scheduleStatusRead(dev.get(), -50);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_auto_framing_enabled"),
                   m_framingOn ? QStringLiteral("true") : QStringLiteral("false"), m_triggerSource);
    deafen(ui->pbAutoFraming);
}

void MainUserUi::on_pbVirtualBg_clicked()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    m_bgOn = !m_bgOn;
    setSwitch(ui->pbVirtualBg, m_bgOn ? SwitchOn : SwitchOff);
    if (m_bgOn) {
        CameraStatus status;
        if (!dev->getCameraStatus(status))
            status = dev->cachedStatus();
        applyMode(UvcDevice::MediaModeBackground, status);
    } else {
        applyBackgroundOff();
    }
    dev->cameraSetMediaMode(m_bgOn ? UvcDevice::MediaModeBackground : UvcDevice::MediaModeStandard);
    fileUsageEvent(QStringLiteral("set_background_mode_enabled"),
                   m_bgOn ? QStringLiteral("true") : QStringLiteral("false"), m_triggerSource);
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    deafen(ui->pbVirtualBg);
}

void MainUserUi::onBgModeClicked(int bgMode, const QString &usageValue)
{
    if (!m_bgOn)
        return;
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    restyleBgTabs(bgMode);
    dev->cameraSetBgMode(UvcDevice::MediaBgMode(bgMode));
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_background_mode_option"), usageValue, m_triggerSource);
}

void MainUserUi::on_pbBgBlur_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgBlur, QStringLiteral("BLUR"));
}

void MainUserUi::on_pbBgGreenScreen_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgGreenScreen, QStringLiteral("GREEN"));
}

void MainUserUi::on_pbBgReplace_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgReplace, QStringLiteral("REPLACE"));
}

void MainUserUi::onColorClicked(int color, const QString &usageValue)
{
    if (!m_bgOn)
        return;
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    restyleColors(color);
    dev->cameraSetBgColor(UvcDevice::MediaBgModeColorType(color));
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_background_green_screen_color"), usageValue, SourceMouse);
}

void MainUserUi::on_pbColorG_clicked()
{
    onColorClicked(kColorGreen, QStringLiteral("GREEN"));
}

void MainUserUi::on_pbColorB_clicked()
{
    onColorClicked(kColorBlue, QStringLiteral("BLUE"));
}

void MainUserUi::onViewClicked(int fov, const QString &usageValue)
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    if (!m_framingOn)
        restyleViewButtons(fov);
    dev->cameraSetFov(fov);
    m_zoomHoldOff = 0;
    scheduleStatusRead(dev.get(), 80);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_view_mode"), usageValue, m_triggerSource);
}

void MainUserUi::on_pbView65_clicked()
{
    onViewClicked(2, QStringLiteral("65"));
}

void MainUserUi::on_pbView78_clicked()
{
    onViewClicked(1, QStringLiteral("78"));
}

void MainUserUi::on_pbView86_clicked()
{
    onViewClicked(0, QStringLiteral("86"));
}

void MainUserUi::on_pbGroupMode_clicked()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    restyleFramingMode(0);
    if (!m_framingSizeHidden)
        restyleFramingSize(-1, false);
    dev->cameraSetAutoFramingMode(0, -1);
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_auto_framing_mode"), QStringLiteral("0"), m_triggerSource);
}

void MainUserUi::on_pbSingleMode_clicked()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    CameraStatus status;
    if (!dev->getCameraStatus(status))
        status = dev->cachedStatus();
    const int size = statusByte(status, CameraStatus::FramingSize);
    restyleFramingMode(1);
    if (!m_framingSizeHidden)
        restyleFramingSize(size, true);
    dev->cameraSetAutoFramingMode(1, static_cast<signed char>(size));
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_auto_framing_mode"), QStringLiteral("1"), m_triggerSource);
}

void MainUserUi::on_pbCloseUp_clicked()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    restyleFramingSize(0, true);
    dev->cameraSetAutoFramingMode(1, 0);
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_auto_framing_size"), QStringLiteral("0"), m_triggerSource);
}

void MainUserUi::on_pbUpperBody_clicked()
{
    const vexo::pc::UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    restyleFramingSize(1, true);
    dev->cameraSetAutoFramingMode(1, 1);
    scheduleStatusRead(dev.get(), 0);
    markUserAction();
    fileUsageEvent(QStringLiteral("set_auto_framing_size"), QStringLiteral("1"), m_triggerSource);
}

void MainUserUi::showHelp(const QString &text)
{
    MsgInfoUi box(this);
    box.setText(text);
    box.setButtonText(MsgInfoUi::Yes, tr("OK"));
    box.exec();
}

void MainUserUi::on_pbAutoFramingHelp_clicked()
{
    showHelp(tr("The Virtual background will automatically turn off once the AI Auto-framing is activated, "
                "and the adjustment of FoV, Zoom in/out and Direction will be disabled too."));
}

void MainUserUi::on_pbVirtualBgHelp_clicked()
{
    showHelp(tr("Auto framing will be turned off once virtual background is activated."));
}

void MainUserUi::on_pbDirectionHelp_clicked()
{
    showHelp(tr("Please zoom in first before adjusting the direction."));
}

void MainUserUi::on_pbSelectHelp_clicked()
{
    showHelp(tr("Right click to delete the custom image. The default image cannot be deleted."));
}

void MainUserUi::shortcutZoomIn()
{
    if (m_zoomInClock.isValid() && m_zoomInClock.elapsed() < kZoomShortcutIntervalMs)
        return;
    m_zoomInClock.start();
    ui->slZoom->setValue(qMin(ui->slZoom->value() + 10, 100));
}

void MainUserUi::shortcutZoomOut()
{
    if (m_zoomOutClock.isValid() && m_zoomOutClock.elapsed() < kZoomShortcutIntervalMs)
        return;
    m_zoomOutClock.start();
    ui->slZoom->setValue(qMax(ui->slZoom->value() - 10, 0));
}

// ---------------------------------------------------------------------------
// Direction pad

void MainUserUi::onGimbalCtrlRef(double y, double z, bool first_press)
{
    m_gimbal->onGimbalCtrlRef(y, z, first_press);
}

void MainUserUi::on_pbDirectionReset_clicked()
{
    m_gimbal->resetView();
}

void MainUserUi::onMoveToPrePos(int16_t x, int16_t y, int16_t z, double speed_ref, double zoom)
{
    m_gimbal->onMoveToPrePos(x, y, z, speed_ref, zoom);
}

// ---------------------------------------------------------------------------
// Tabs, settings panel, language

void MainUserUi::on_pbCameraCtrl_clicked()
{
    setActiveTab(true);
    m_systemSetting->hideSecondMenu();
    m_systemSetting->hide();
}

void MainUserUi::on_pbSystemSetting_clicked()
{
    if (!m_systemSetting->isHidden())
        return;
    setActiveTab(false);
    m_systemSetting->show();
    // Beside the window at the same top edge: right of it, or left of it
    // when the right side would leave the desktop.
    const QRect frame = frameGeometry();
    const int width = m_systemSetting->frameGeometry().width();
    int x = frame.right() + 1;
    if (x + width > m_desktopRight)
        x = frame.left() - width;
    m_systemSetting->move(x, frame.top());
}

void MainUserUi::recvSignalFromSysSetting(SystemSettingUi::SystemSettingEvent event)
{
    GlobalParams *params = GlobalParams::instance();
    const int value = event;
    switch (value) {
    case SystemSettingUi::EventClosed:
        setActiveTab(true);
        m_systemSetting->hideSecondMenu();
        m_systemSetting->hide();
        break;
    case SystemSettingUi::EventGlobalHotkeysOn:
    case SystemSettingUi::EventGlobalHotkeysOff:
        params->setShortcutRange(value == SystemSettingUi::EventGlobalHotkeysOn ? 1 : 0);
        break;
    case SystemSettingUi::EventRemoteCtrlOn:
    case SystemSettingUi::EventRemoteCtrlOff:
        params->setShortcutExt(value == SystemSettingUi::EventRemoteCtrlOn);
        break;
    case 13:
    case 14:
    case 15:
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
        // The panel changed a camera setting: read the status soon.
        scheduleStatusRead(currentDev().get(), 0);
        markUserAction();
        break;
    default:
        return;
    }
    params->saveSettings();
}

void MainUserUi::onChangeLanguage(int type)
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }
    m_translator = new QTranslator(this);
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/..") + languageFile(type);
    if (m_translator->load(file))
        QCoreApplication::installTranslator(m_translator);
    else
        qWarning() << "Load language file failed:" << file;
    GlobalParams *params = GlobalParams::instance();
    if (params->getLanguageType() != type) {
        params->setLanguageType(type);
        params->saveSettings();
    }
}

void MainUserUi::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        qInfo() << "Switch language event";
        ui->retranslateUi(this);
        for (DevButton *button : qAsConst(m_devButtons)) {
            if (!button->isOccupied())
                button->setText(tr("None"));
        }
        placeHelpButtons();
    }
    QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------------------
// Layout

void MainUserUi::placeHelpButtons()
{
    const struct
    {
        QLabel *caption;
        QWidget *help;
    } pairs[] = {
        {ui->lbAutoFraming, ui->pbAutoFramingHelp},
        {ui->lbVirtualBg, ui->pbVirtualBgHelp},
        {ui->lbDirection, ui->pbDirectionHelp},
        {ui->lbSelect, ui->pbSelectHelp},
    };
    for (const auto &p : pairs) {
        p.caption->ensurePolished();
        const int textWidth = p.caption->fontMetrics().horizontalAdvance(p.caption->text());
        p.help->move(p.caption->x() + textWidth + kHelpGap,
                     p.caption->y() + (p.caption->height() - p.help->height()) / 2);
    }
    QWidget *beta = ui->lbVirtualBgBeta;
    beta->ensurePolished();
    beta->move(ui->pbVirtualBgHelp->geometry().right() + 1 + 2 * kHelpGap,
               ui->lbVirtualBg->y() + (ui->lbVirtualBg->height() - beta->height()) / 2);
}

void MainUserUi::setVirtualBgAvailable(bool available)
{
    if (available == m_virtualBgAvailable)
        return;
    m_virtualBgAvailable = available;
    applyLayout();
}

// Two layouts: the full one of the form, and a compact one without the
// virtual background section, where the field of view joins the left
// column and the direction pad moves up into the freed height.
void MainUserUi::applyLayout()
{
    QWidget *section[] = {ui->lbVirtualBg,  ui->pbVirtualBgHelp, ui->lbVirtualBgBeta,  ui->pbVirtualBg,
                          ui->lbBgOption,   ui->pbBgBlur,        ui->pbBgGreenScreen,  ui->pbBgReplace,
                          ui->swOptionSet,  ui->line3};
    const struct
    {
        QWidget *widget;
        QRect compact;
    } moved[] = {
        {ui->wDevCtrl, QRect(84, 12, 704, kCompactHeight - 24)},
        {ui->pbUselessArea, QRect(0, 144, 72, kCompactHeight - 144)},
        {ui->lbZoom, QRect(18, 158, 200, 24)},
        {ui->lbZoomValue, QRect(298, 158, 100, 24)},
        {ui->slZoom, QRect(18, 188, 380, 24)},
        {ui->lbAutoFraming, QRect(18, 246, 200, 24)},
        {ui->pbAutoFraming, QRect(354, 244, 44, 28)},
        {ui->pbGroupMode, QRect(18, 284, 84, 30)},
        {ui->pbSingleMode, QRect(100, 284, 84, 30)},
        {ui->pbCloseUp, QRect(196, 284, 102, 30)},
        {ui->pbUpperBody, QRect(296, 284, 102, 30)},
        {ui->line2, QRect(18, 342, 380, 1)},
        {ui->lbView, QRect(18, 362, 200, 24)},
        {ui->pbView86, QRect(18, 392, 128, 30)},
        {ui->pbView78, QRect(144, 392, 128, 30)},
        {ui->pbView65, QRect(270, 392, 128, 30)},
        {ui->lbDirection, QRect(425, 158, 200, 24)},
        {ui->pbDirectionReset, QRect(650, 152, 36, 36)},
        {m_direction, QRect(455, 216, 200, 200)},
    };
    if (m_fullGeometry.isEmpty()) {
        for (const auto &m : moved)
            m_fullGeometry.insert(m.widget, m.widget->geometry());
    }
    for (QWidget *widget : section)
        widget->setVisible(m_virtualBgAvailable);
    for (const auto &m : moved)
        m.widget->setGeometry(m_virtualBgAvailable ? m_fullGeometry.value(m.widget) : m.compact);
    const QSize size(kWindowWidth, m_virtualBgAvailable ? kFullHeight : kCompactHeight);
    setFixedSize(size);
    m_devSleep->setGeometry(QRect(QPoint(0, 0), size));
    placeHelpButtons();
}

// ---------------------------------------------------------------------------
// Keys, focus, close

bool MainUserUi::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget != this && widget->window() == this) {
            handleKeyRelease(static_cast<QKeyEvent *>(event));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainUserUi::keyReleaseEvent(QKeyEvent *event)
{
    handleKeyRelease(event);
}

void MainUserUi::handleKeyRelease(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        m_cropAreaCounter = 31;
        if (m_direction->isPadEnabled())
            m_direction->keyEntry(0);
        event->accept();
        break;
    default:
        event->ignore();
        break;
    }
}

void MainUserUi::focusInEvent(QFocusEvent *event)
{
    m_systemSetting->hideSecondMenu();
    QMainWindow::focusInEvent(event);
}

void MainUserUi::closeEvent(QCloseEvent *event)
{
    m_systemSetting->close();
    event->accept();
}

// ---------------------------------------------------------------------------
// Usage reports

void MainUserUi::fileUsageEvent(const QString &kind, const QString &value, int source)
{
    // Action codes are the positions of the names in the reports' action table.
    int action = -1;
    for (int i = 0; i <= vexo::pc::DevUsageSnapshot::LastAction && action < 0; ++i) {
        if (vexo::pc::DevUsageSnapshot::actionName(i) == kind)
            action = i;
    }
    if (action < 0 || m_currentSn.isEmpty()) {
        qDebug().noquote() << "Usage event not filed:" << kind << "sn =" << m_currentSn;
        return;
    }
    QVariant data = value;
    if (kind == QLatin1String("to_sleep"))
        data = 3;
    else if (kind == QLatin1String("to_wake"))
        data = 1;
    vexo::pc::pushDevUsageEvent(m_currentSn, action, source, QString(), data);
}

void MainUserUi::startDevReports(const QString &sn, bool withDevInfo)
{
    vexo::pc::startUsageStateReport(sn);
    if (!withDevInfo)
        return;
    if (const vexo::pc::UvcDevicePtr dev = UvcDevices::instance()->findDevBySn(sn))
        vexo::pc::startDevInfoReport(dev->getDevReportInfo());
}

void MainUserUi::onReportTimer()
{
    const QList<vexo::pc::UvcDevicePtr> devices = UvcDevices::instance()->devices();
    for (const vexo::pc::UvcDevicePtr &dev : devices) {
        if (dev->devMode() == UvcDevice::DevModeUvc)
            startDevReports(dev->getSn(), false);
    }
}
