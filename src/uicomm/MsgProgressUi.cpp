#include "uicomm/MsgProgressUi.h"
#include "ui_MsgProgressUi.h"

#include "comm/Util.h"
#include "uicomm/UiLook.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QDebug>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>

namespace {

const QString &infoBaseStyle()
{
    static const QString style = QStringLiteral(
        "padding-left:20px;\npadding-right:20px;\nfont-size:13px;\npadding-bottom:10px;\npadding-top:8px;\n");
    return style;
}

} // namespace

MsgProgressUi::MsgProgressUi(QWidget *parent)
    : OWidget(parent)
    , ui(new Ui::MsgProgressUi)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("MsgProgressUi"));
    setWindowTitle(tr("Progress"));
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    setWindowFlags(windowFlags() | Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("msgprogress")));
    ui->pbOk->setProperty("role", QStringLiteral("primary"));

    ui->lbTitle->setText(tr("Progress info"));
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->lbPercent->setText(QStringLiteral("0%"));
    setInfoColor(InfoColor::Progress);
    ui->pbOk->setVisible(true);
    ui->pbOk->setEnabled(false);
}

MsgProgressUi::~MsgProgressUi()
{
    if (m_loop)
        m_loop->exit();
    delete ui;
}

void MsgProgressUi::setTitle(const QString &text)
{
    ui->lbTitle->setText(text);
}

void MsgProgressUi::setInfo(const QString &text)
{
    ui->lbInfo->setText(text);
    fitInfoHeight();
}

int MsgProgressUi::exec()
{
    if (m_loop)
        return -1; // already waiting
    m_closingByOk = false;
    show();
    m_result = -1;
    moveToParentCentre();
    if (!isVisible())
        return m_result;
    QEventLoop loop;
    m_loop = &loop;
    QPointer<MsgProgressUi> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard.isNull())
        return -1;
    m_loop = nullptr;
    return m_result;
}

void MsgProgressUi::onProgressUpdate(int value, const QString &info)
{
    bool showInfo = !info.isEmpty();
    if (value >= 0 && value < 100) {
        ui->progressBar->setValue(value);
        ui->lbPercent->setText(QString::number(value) + QLatin1Char('%'));
        if (value == 0)
            m_failed = false;
        else if (m_failed)
            return; // a failure stays visible until a new run starts at 0
        if (showInfo)
            setInfoColor(InfoColor::Progress);
    } else if (value == 100) {
        ui->progressBar->setValue(100);
        ui->lbPercent->setText(QStringLiteral("100%"));
        setInfoColor(InfoColor::Success);
        setOkEnabled(true);
    } else if (value == -3) {
        setInfoColor(InfoColor::Warning);
        m_failed = true;
        setOkEnabled(true);
    } else if (value == -2) {
        setInfoColor(InfoColor::Warning);
        m_failed = false;
    } else if (value == -1) {
        setInfoColor(InfoColor::Error);
        m_failed = true;
        setOkEnabled(true);
    } else {
        qWarning() << "Unknown value =" << value;
        setOkEnabled(true);
        showInfo = false;
    }
    if (showInfo)
        setInfo(info);
}

void MsgProgressUi::keyPressEvent(QKeyEvent *event)
{
    // The window closes only through "OK"; Escape must not dismiss it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    OWidget::keyPressEvent(event);
}

void MsgProgressUi::closeEvent(QCloseEvent *event)
{
    if (!m_closingByOk) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_loop)
        m_loop->exit();
}

void MsgProgressUi::setInfoColor(InfoColor color)
{
    QString rule;
    switch (color) {
    case InfoColor::Progress:
        rule = QStringLiteral("color:white;");
        break;
    case InfoColor::Warning:
        rule = QStringLiteral("color:yellow;");
        break;
    case InfoColor::Error:
        rule = QStringLiteral("color:red;");
        break;
    case InfoColor::Success:
        rule = QStringLiteral("color:green;");
        break;
    }
    ui->lbInfo->setStyleSheet(infoBaseStyle() + rule);
}

void MsgProgressUi::setOkEnabled(bool enabled)
{
    ui->pbOk->setEnabled(enabled);
}

void MsgProgressUi::on_pbOk_clicked()
{
    m_result = m_failed ? Failed : Ok;
    m_closingByOk = true;
    close();
    m_closingByOk = false;
    if (m_loop)
        m_loop->exit();
}

// The label spans the window; its side paddings take 40 px and its top and
// bottom paddings (with a little air) 24 px.
void MsgProgressUi::fitInfoHeight()
{
    ui->lbInfo->ensurePolished();
    const QFontMetrics metrics(ui->lbInfo->font());
    const int lines = vexo::pc::Util::countTextLines(ui->lbInfo->text(), metrics, width() - 40);
    ui->lbInfo->setFixedHeight(lines * metrics.height() + 24);
    adjustSize();
}
