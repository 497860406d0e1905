#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/DevUsageSnapshot.h"
#include "comm/DevUsageReporter.h"
#include "comm/GlobalParams.h"
#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/GimbalControl.h"
#include "uicomm/UiLook.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "zarvocam/CurrentCameraGimbal.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <mutex>

using vexo::pc::DevUsageSnapshot;
using vexo::pc::GlobalParams;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;
using vexo::pc::UvcDevices;

// Q_INIT_RESOURCE must be used outside any namespace.
static void initMainWindowResources()
{
    Q_INIT_RESOURCE(zarvo_ui);
}

namespace {

constexpr int kHelpGap = 4;
constexpr int kFullHeight = 600;
constexpr int kCompactHeight = 510;
constexpr int kWindowWidth = 800;

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

    // Widgets and the settings panel, a window of its own beside this one.
    ui->setupUi(this);
    QString sheet = UiLook::windowStyleSheet(QStringLiteral("mainwindow"));
    QFile panelSheet(QStringLiteral(":/source/zarvocam/qss/mainpanel.qss"));
    if (panelSheet.open(QIODevice::ReadOnly))
        sheet += QLatin1Char('\n') + QString::fromUtf8(panelSheet.readAll());
    setStyleSheet(sheet);
    m_systemSetting = new SystemSettingUi(this);
    m_systemSetting->hide();
    connectSettingsPanel();

    // The sleep page over the whole window.
    m_devSleep = new DevSleep(this);
    connect(m_devSleep, &DevSleep::devChanged, this, &MainUserUi::onDevChangedFromSleepUi);
    connect(m_devSleep, &DevSleep::devResumed, this, [this] {
        m_triggerSource = SourceMouse;
        onDevResumed();
    });
    m_devSleep->hide();

    // State, direction pad, picture strip.
    markUserAction();
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
            [this] { fileUsageEvent(DevUsageSnapshot::ActionResetCropArea, QVariant(), m_triggerSource); });
    connect(m_gimbal, &GimbalControl::zoomSliderRequested, ui->slZoom, &QSlider::setValue);
    createImageItems();

    // The device registry and its scan thread.
    UvcDevices *devices = UvcDevices::instance();
    connect(devices, &UvcDevices::devChanged, this, &MainUserUi::onDevChanged);
    if (!devices->isRunning())
        devices->start();

    // Package downloads and the update checks.
    initDownload();

    // The desktop's horizontal bounds, for placing the settings panel.
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (!screens.isEmpty()) {
        m_desktopLeft = screens.first()->geometry().left();
        m_desktopRight = screens.first()->geometry().left() + screens.first()->geometry().width();
        for (const QScreen *screen : screens) {
            m_desktopLeft = qMin(m_desktopLeft, screen->geometry().left());
            m_desktopRight = qMax(m_desktopRight, screen->geometry().left() + screen->geometry().width());
        }
    }

    // Periodic usage reports.
    m_reporter = new vexo::pc::DevUsageReporter(this);
    m_reporter->start();

    // Focus, tabs, icon, the "None" placeholder, no camera yet.
    setFocusPolicy(Qt::StrongFocus);
    initLooks();
    setActiveTab(true);
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    m_devButtons.append(createNoneButton());
    setControlsEnabled(false);

    // Keys: application shortcuts, global hotkeys, the remote control.
    initHotkeys();

    // Language, window frame, layout.
    onChangeLanguage(params->getLanguageType());
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    m_virtualBgAvailable = params->getPcVirtualBg();
    applyLayout();

    // Cameras the registry announced before this window listened.
    const QList<UvcDevicePtr> known = allDevs();
    for (const UvcDevicePtr &dev : known) {
        if (dev->devMode() != UvcDevice::DevModeUpgrade)
            onDevChanged(dev->getSn().toLatin1(), true);
    }
}

MainUserUi::~MainUserUi()
{
    QObject::disconnect(m_stateConnection);
    m_stateDev.reset();
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
// Looks, tabs, settings panel, language

void MainUserUi::setActiveTab(bool cameraControl)
{
    UiLook::setLook(ui->pbCameraCtrl, cameraControl ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbSystemSetting, cameraControl ? UiLook::Look::Normal : UiLook::Look::Selected);
    ui->pbCameraCtrl->setIcon(QIcon(cameraControl ? QStringLiteral(":/source/zarvocam/icon/btn_features_pre.png")
                                                  : QStringLiteral(":/source/zarvocam/icon/btn_features.png")));
    ui->pbSystemSetting->setIcon(QIcon(cameraControl ? QStringLiteral(":/source/zarvocam/icon/btn_setting.png")
                                                     : QStringLiteral(":/source/zarvocam/icon/btn_setting_pre.png")));
}

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
        onShortcutRangeChanged(value == SystemSettingUi::EventGlobalHotkeysOn ? 1 : 0);
        break;
    case SystemSettingUi::EventRemoteCtrlOn:
    case SystemSettingUi::EventRemoteCtrlOff:
        onRemoteCtrlEnabled(value == SystemSettingUi::EventRemoteCtrlOn);
        break;
    default:
        if (!SystemSettingUi::isCameraSettingEvent(value))
            return;
        // The panel changed a camera setting: read the status soon.
        scheduleStatusRead(currentDev(), UvcDevice::StatusPollIn2s);
        markUserAction();
        break;
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
        applyLanguageWidths();
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

// Installed on the application: key releases of this window's children are
// handled here too (arrow keys stop a key-driven view move), then continue
// unchanged to the child they were meant for. Handling is idempotent, so a
// release that a child ignores and that rises to this window does no harm.
bool MainUserUi::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget != this && widget->window() == this) {
            const bool accepted = event->isAccepted();
            handleKeyRelease(static_cast<QKeyEvent *>(event));
            event->setAccepted(accepted);
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
        m_cropAreaCounter = GimbalControl::CropBandKey;
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

