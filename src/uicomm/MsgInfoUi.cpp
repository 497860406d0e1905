#include "uicomm/MsgInfoUi.h"
#include "ui_MsgInfoUi.h"

#include "uicomm/UiLook.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLayout>
#include <QTextDocument>
#include <QtMath>

MsgInfoUi::MsgInfoUi(QWidget *parent)
    : OWidget(parent)
    , ui(new Ui::MsgInfoUi)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("MsgInfoUi"));
    setWindowFlags(windowFlags() | Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("msginfo")));

    ui->pbYes->setProperty("role", QStringLiteral("primary"));
    ui->pbNo->setProperty("role", QStringLiteral("secondary"));
    showButtons(Yes);
    hideButtons(No);
    // An empty title would still take a line at the top.
    ui->lbTitle->hide();
    resize(314, 130);
}

MsgInfoUi::~MsgInfoUi()
{
    // A box destroyed while its caller still waits in exec() must not leave
    // the caller's loop running forever.
    if (m_loop)
        m_loop->exit();
    delete ui;
}

void MsgInfoUi::setTitle(const QString &text)
{
    ui->lbTitle->setText(text);
    ui->lbTitle->setVisible(!text.isEmpty());
}

void MsgInfoUi::hideTitle()
{
    ui->lbTitle->hide();
}

void MsgInfoUi::setText(const QString &text)
{
    ui->lbContent->setText(text);
    fitToContent();
}

void MsgInfoUi::setRichText(const QString &text)
{
    ui->lbContent->setEnabled(true);
    ui->lbContent->setTextFormat(Qt::RichText);
    ui->lbContent->setTextInteractionFlags(Qt::TextBrowserInteraction);
    ui->lbContent->setOpenExternalLinks(true);
    // The style sheet owns the label's palette, so the link colour of the
    // scheme travels with the text.
    ui->lbContent->setText(QStringLiteral("<style>a { color: #1E90FF; }</style>") + text);
    fitToContent();
}

void MsgInfoUi::showButtons(int mask)
{
    if (mask & Yes) {
        ui->pbYes->show();
        ui->pbYes->setEnabled(true);
    }
    if (mask & No) {
        ui->pbNo->show();
        ui->pbNo->setEnabled(true);
    }
}

void MsgInfoUi::hideButtons(int mask)
{
    if (mask & Yes) {
        ui->pbYes->hide();
        ui->pbYes->setEnabled(false);
    }
    if (mask & No) {
        ui->pbNo->hide();
        ui->pbNo->setEnabled(false);
    }
}

void MsgInfoUi::enableButtons(int mask, bool enabled)
{
    if (mask & Yes)
        ui->pbYes->setEnabled(enabled);
    if (mask & No)
        ui->pbNo->setEnabled(enabled);
}

void MsgInfoUi::setButtonText(int mask, const QString &text)
{
    if (mask & Yes)
        ui->pbYes->setText(text);
    if (mask & No)
        ui->pbNo->setText(text);
}

int MsgInfoUi::exec()
{
    m_result = -1;
    if (m_loop)
        return m_result; // already waiting
    fitToContent();
    moveToParentCentre();
    show();
    moveToParentCentre();
    if (!isVisible())
        return m_result;
    QEventLoop loop;
    m_loop = &loop;
    QPointer<MsgInfoUi> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard.isNull())
        return -1;
    m_loop = nullptr;
    return m_result;
}

void MsgInfoUi::on_pbYes_clicked()
{
    m_result = Yes;
    close();
}

void MsgInfoUi::on_pbNo_clicked()
{
    m_result = No;
    close();
}

void MsgInfoUi::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_loop)
        m_loop->exit();
}

// The content label wraps words, so the window first picks a width from the
// longest paragraph (between its minimum and maximum width) and then takes
// the height the wrapped text needs at that width.
void MsgInfoUi::fitToContent()
{
    ensurePolished();
    ui->lbContent->ensurePolished();
    const QMargins margins = layout()->contentsMargins();
    QTextDocument document;
    document.setDefaultFont(ui->lbContent->font());
    if (ui->lbContent->textFormat() == Qt::RichText)
        document.setHtml(ui->lbContent->text());
    else
        document.setPlainText(ui->lbContent->text());
    const int textWidth = qCeil(document.idealWidth());
    const int chrome = margins.left() + margins.right() + 8;
    const int width = qBound(qMax(minimumWidth(), 314), textWidth + chrome, maximumWidth());
    layout()->activate();
    const int height = layout()->hasHeightForWidth()
        ? layout()->totalHeightForWidth(width) : layout()->totalSizeHint().height();
    resize(width, qBound(130, height, maximumHeight()));
}
