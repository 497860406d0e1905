// Renders the shared widgets in their typical states to PNG files, so that
// their looks can be checked by eye: widget_gallery <output folder>.
// Runs on any platform plugin (offscreen is fine).

#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uicomm/RSlider.h"
#include "uicomm/UiLook.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QIcon>
#include <QInputDialog>
#include <QTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextStream>

namespace {

QString g_outDir;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void save(QWidget *widget, const QString &name)
{
    widget->show();
    settle();
    const QString path = g_outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = widget->grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
}

void messageBoxes()
{
    MsgInfoUi question;
    question.setTitle(QStringLiteral("Auto Framing"));
    question.setText(QStringLiteral(
        "Virtual background will be turned off once the Auto Framing is activated, also "
        "adjustment of FoV, Zoom in/out and Direction will be disabled!"));
    question.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    question.setButtonText(MsgInfoUi::Yes, QStringLiteral("Turn On"));
    question.setButtonText(MsgInfoUi::No, QStringLiteral("Cancel"));
    save(&question, QStringLiteral("msginfo_question"));

    MsgInfoUi help;
    help.hideTitle();
    help.setText(QStringLiteral("Please zoom in first before adjusting the direction."));
    help.setButtonText(MsgInfoUi::Yes, QStringLiteral("OK"));
    save(&help, QStringLiteral("msginfo_help"));

    MsgInfoUi rich;
    rich.setTitle(QStringLiteral("Tips"));
    rich.setRichText(QStringLiteral(
        "Compatible remote controller: <a href=\"https://example.com/shop\">KAVORA remote</a>"
        "<br>The remote control keys may conflict with some software shortcuts keys. In case of "
        "conflict, please turn off or change other software shortcuts keys."));
    save(&rich, QStringLiteral("msginfo_rich"));
}

void progressWindows()
{
    MsgProgressUi running;
    running.setTitle(QStringLiteral("Firmware upgrade"));
    running.onProgressUpdate(45, QStringLiteral("Uploading firmware to the camera, please do not unplug it..."));
    save(&running, QStringLiteral("progress_running"));

    MsgProgressUi done;
    done.setTitle(QStringLiteral("Firmware upgrade"));
    done.onProgressUpdate(100, QStringLiteral("Upgrade succeeded."));
    save(&done, QStringLiteral("progress_success"));

    MsgProgressUi failed;
    failed.setTitle(QStringLiteral("Firmware upgrade"));
    failed.onProgressUpdate(62, QStringLiteral("Writing module 3 of 5"));
    failed.onProgressUpdate(-1, QStringLiteral(
        "The camera did not answer. Unplug it, plug it in again and retry the upgrade. "
        "If the problem persists, export the logs and contact support."));
    save(&failed, QStringLiteral("progress_failed"));

    MsgProgressUi warning;
    warning.onProgressUpdate(30, QString());
    warning.onProgressUpdate(-2, QStringLiteral("Network is slow, still downloading..."));
    save(&warning, QStringLiteral("progress_warning"));
}

DirectionHandler *makePad(QWidget *parent)
{
    auto *pad = new DirectionHandler(parent);
    pad->resize(200, 200);
    pad->setBgSize(180);
    pad->setKnobSize(44);
    return pad;
}

void directionPads()
{
    QWidget panel;
    panel.setObjectName(QStringLiteral("gallery"));
    panel.setStyleSheet(QStringLiteral("#gallery { background-color: #141414; }"));
    panel.resize(660, 220);
    DirectionHandler *idle = makePad(&panel);
    idle->move(10, 10);
    DirectionHandler *held = makePad(&panel);
    held->move(230, 10);
    DirectionHandler *off = makePad(&panel);
    off->move(450, 10);
    off->enable(false);
    panel.show();
    settle();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(170, 40), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(held, &press);
    save(&panel, QStringLiteral("direction_pads"));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(170, 40), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(held, &release);
}

QPushButton *option(QWidget *parent, const QString &text, UiLook::Edge edge, UiLook::Look look)
{
    auto *button = new QPushButton(text, parent);
    button->setFixedSize(text.size() > 6 ? 92 : 74, 28);
    UiLook::setRole(button, QStringLiteral("option"));
    UiLook::setEdge(button, edge);
    UiLook::setLook(button, look);
    return button;
}

// One row of option buttons sharing their inner borders (2 px overlap).
void optionRow(QWidget *parent, int x, int y, const QStringList &texts, int selected,
               UiLook::Look others)
{
    for (int i = 0; i < texts.size(); ++i) {
        const UiLook::Edge edge = i == 0 ? UiLook::Edge::First
            : i == texts.size() - 1 ? UiLook::Edge::Last : UiLook::Edge::Middle;
        QPushButton *b = option(parent, texts.at(i), edge, i == selected ? UiLook::Look::Selected : others);
        b->move(x, y);
        x += b->width() - 2;
        if (i == selected)
            b->raise();
    }
}

RSlider *slider(QWidget *parent, int value, const QRect &geometry)
{
    auto *slider = new RSlider(Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setValue(value);
    slider->setGeometry(geometry);
    return slider;
}

// A green-screen colour button in one of its looks.
void colorButton(QWidget *parent, const char *role, UiLook::Look look, const QRect &geometry)
{
    auto *button = new QPushButton(parent);
    UiLook::setRole(button, QLatin1String(role));
    UiLook::setLook(button, look);
    button->setGeometry(geometry);
}

void looks()
{
    QWidget panel;
    panel.setObjectName(QStringLiteral("MainUserUi"));
    panel.setAttribute(Qt::WA_StyledBackground, true);
    panel.setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("mainwindow")));
    panel.resize(760, 470);

    auto *area = new QWidget(&panel);
    area->setObjectName(QStringLiteral("wDevCtrl"));
    area->setGeometry(70, 10, 680, 450);

    auto *tabCamera = new QPushButton(&panel);
    tabCamera->setObjectName(QStringLiteral("pbCameraCtrl"));
    tabCamera->setIcon(QIcon(QStringLiteral(":/source/zarvocam/icon/btn_features_pre.png")));
    UiLook::setLook(tabCamera, UiLook::Look::Selected);
    tabCamera->setGeometry(0, 10, 60, 60);
    auto *tabSetting = new QPushButton(&panel);
    tabSetting->setObjectName(QStringLiteral("pbSystemSetting"));
    tabSetting->setIcon(QIcon(QStringLiteral(":/source/zarvocam/icon/btn_setting.png")));
    tabSetting->setGeometry(0, 70, 60, 60);
    auto *filler = new QPushButton(&panel);
    filler->setObjectName(QStringLiteral("pbUselessArea"));
    filler->setGeometry(0, 130, 60, 330);

    const QStringList devNames = {QStringLiteral("Zarvo"), QStringLiteral("Desk"), QStringLiteral("None")};
    const UiLook::DevLook devLooks[] = {UiLook::DevLook::Current, UiLook::DevLook::Other,
                                        UiLook::DevLook::Unoccupied};
    for (int i = 0; i < 3; ++i) {
        auto *dev = new QPushButton(devNames.at(i), area);
        UiLook::setRole(dev, QStringLiteral("dev"));
        UiLook::setDevLook(dev, devLooks[i]);
        dev->setGeometry(18 + 81 * i, 16, 60, 60);
    }

    auto caption = [area](const QString &text, int x, int y, const char *name) {
        auto *label = new QLabel(text, area);
        label->setObjectName(QLatin1String(name));
        label->move(x, y);
        return label;
    };
    caption(QStringLiteral("Auto Framing"), 18, 100, "lbAutoFraming");
    auto *help = new QPushButton(area);
    UiLook::setRole(help, QStringLiteral("help"));
    help->setGeometry(112, 101, 16, 16);
    auto *swOn = new QPushButton(area);
    UiLook::setRole(swOn, QStringLiteral("switch"));
    UiLook::setSwitch(swOn, UiLook::Switch::On);
    swOn->setGeometry(250, 96, 48, 26);
    optionRow(area, 18, 132, {QStringLiteral("Group"), QStringLiteral("Single")}, 1, UiLook::Look::Normal);
    optionRow(area, 170, 132, {QStringLiteral("Close-up"), QStringLiteral("Upper body")}, 0,
              UiLook::Look::Normal);

    caption(QStringLiteral("Virtual Background"), 18, 176, "lbVirtualBg");
    auto *beta = caption(QStringLiteral("beta"), 160, 178, "lbVirtualBgBeta");
    beta->setFixedHeight(14);
    auto *swOff = new QPushButton(area);
    UiLook::setRole(swOff, QStringLiteral("switch"));
    UiLook::setSwitch(swOff, UiLook::Switch::Off);
    swOff->setGeometry(250, 172, 48, 26);
    optionRow(area, 18, 208, {QStringLiteral("Blur"), QStringLiteral("Green"), QStringLiteral("Replace")},
              1, UiLook::Look::Normal);
    colorButton(area, "colorB", UiLook::Look::Normal, QRect(18, 249, 60, 24));
    colorButton(area, "colorG", UiLook::Look::Selected, QRect(96, 248, 60, 26));
    colorButton(area, "colorB", UiLook::Look::Disabled, QRect(174, 249, 60, 24));
    colorButton(area, "colorG", UiLook::Look::Disabled, QRect(252, 249, 60, 24));

    caption(QStringLiteral("Field of View"), 18, 292, "lbView");
    optionRow(area, 18, 320, {QStringLiteral("65°"), QStringLiteral("78°"), QStringLiteral("86°")}, 2,
              UiLook::Look::Normal);
    optionRow(area, 18, 356, {QStringLiteral("65°"), QStringLiteral("78°"), QStringLiteral("86°")}, -1,
              UiLook::Look::Disabled);
    auto *swDis = new QPushButton(area);
    UiLook::setRole(swDis, QStringLiteral("switch"));
    UiLook::setSwitch(swDis, UiLook::Switch::Unavailable);
    swDis->setGeometry(250, 356, 48, 26);

    caption(QStringLiteral("Zoom"), 360, 100, "lbZoom");
    caption(QStringLiteral("1.5x"), 620, 100, "lbZoomValue");
    slider(area, 50, QRect(360, 128, 290, 20));
    caption(QStringLiteral("Blur level"), 360, 166, "lbBgOption");
    caption(QStringLiteral("0%"), 620, 166, "lbBlurLevelValue");
    slider(area, 30, QRect(360, 194, 290, 20))->setEnabled(false);

    DirectionHandler *pad = makePad(area);
    pad->move(400, 236);
    auto *reset = new QPushButton(area);
    reset->setObjectName(QStringLiteral("pbDirectionReset"));
    UiLook::setRole(reset, QStringLiteral("round"));
    reset->setGeometry(620, 400, 36, 36);
    auto *sleep = new QPushButton(area);
    sleep->setObjectName(QStringLiteral("pbDevStatus"));
    UiLook::setRole(sleep, QStringLiteral("round"));
    sleep->setGeometry(620, 16, 36, 36);

    save(&panel, QStringLiteral("looks"));
}

void sleepPage()
{
    DevSleep page;
    page.addDev(QStringLiteral("Zarvo"));
    page.addDev(QStringLiteral("Desk"));
    page.addDev(QStringLiteral("3"));
    page.setCurrentIndex(1);
    save(&page, QStringLiteral("devsleep"));
}

void renameDialog()
{
    DevButton button(0);
    button.setOccupied(true);
    button.setText(QStringLiteral("Zarvo"));
    QTimer::singleShot(50, [] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            save(dialog, QStringLiteral("rename_dialog"));
            dialog->reject();
        }
    });
    button.actionRename();
}

// Every icon at a large size on the panel colour, to check the drawings.
void icons()
{
    const QStringList paths = {
        QStringLiteral(":/source/uicomm/icon/zarvocam.png"),
        QStringLiteral(":/source/uicomm/icon/reset.svg"),
        QStringLiteral(":/source/zarvocam/icon/sleep"),
        QStringLiteral(":/source/zarvocam/icon/help"),
        QStringLiteral(":/source/zarvocam/icon/icon_add@3x"),
        QStringLiteral(":/source/zarvocam/icon/btn_features.png"),
        QStringLiteral(":/source/zarvocam/icon/btn_features_pre.png"),
        QStringLiteral(":/source/zarvocam/icon/btn_setting.png"),
        QStringLiteral(":/source/zarvocam/icon/btn_setting_pre.png"),
        QStringLiteral(":/source/uicomm/icon/btn_on_n@3x"),
        QStringLiteral(":/source/uicomm/icon/btn_off_n@3x"),
        QStringLiteral(":/source/uicomm/icon/btn_dis_n@3x"),
        QStringLiteral(":/source/uicomm/icon/sleep_page"),
    };
    QWidget sheet;
    sheet.setObjectName(QStringLiteral("icons"));
    sheet.setStyleSheet(QStringLiteral("#icons { background-color: #141414; }"
                                       "QLabel[light=\"true\"] { background-color: #FFFFFF; }"));
    auto *grid = new QGridLayout(&sheet);
    for (int i = 0; i < paths.size(); ++i) {
        auto *label = new QLabel(&sheet);
        label->setProperty("light", paths.at(i).contains(QLatin1String("_pre")));
        label->setPixmap(QIcon(paths.at(i)).pixmap(96, 96));
        label->setAlignment(Qt::AlignCenter);
        label->setFixedSize(110, 110);
        grid->addWidget(label, i / 7, i % 7);
    }
    save(&sheet, QStringLiteral("icons"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    g_outDir = args.size() > 1 ? args.at(1) : QDir::currentPath() + QStringLiteral("/screenshots");
    QDir().mkpath(g_outDir);
    UiLook::initResources();

    messageBoxes();
    progressWindows();
    directionPads();
    looks();
    sleepPage();
    renameDialog();
    icons();
    return 0;
}
