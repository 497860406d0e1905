#include "uicomm/UiLook.h"

#include <QAbstractButton>
#include <QFile>
#include <QIcon>
#include <QStyle>
#include <QVariant>

#include <mutex>

namespace {

const char *const kRole = "role";
const char *const kLook = "look";
const char *const kEdge = "edge";

QString lookName(UiLook::Look look)
{
    switch (look) {
    case UiLook::Look::Selected:
        return QStringLiteral("selected");
    case UiLook::Look::Normal:
        return QStringLiteral("normal");
    case UiLook::Look::Disabled:
        return QStringLiteral("disabled");
    }
    return QStringLiteral("normal");
}

QString edgeName(UiLook::Edge edge)
{
    switch (edge) {
    case UiLook::Edge::Single:
        return QStringLiteral("single");
    case UiLook::Edge::First:
        return QStringLiteral("first");
    case UiLook::Edge::Middle:
        return QStringLiteral("middle");
    case UiLook::Edge::Last:
        return QStringLiteral("last");
    }
    return QStringLiteral("single");
}

QString devLookName(UiLook::DevLook look)
{
    switch (look) {
    case UiLook::DevLook::Unoccupied:
        return QStringLiteral("empty");
    case UiLook::DevLook::Current:
        return QStringLiteral("current");
    case UiLook::DevLook::Other:
        return QStringLiteral("other");
    }
    return QStringLiteral("empty");
}

void setStringProperty(QWidget *widget, const char *name, const QString &value)
{
    if (!widget)
        return;
    if (widget->property(name).toString() == value)
        return;
    widget->setProperty(name, value);
    UiLook::repolish(widget);
}

} // namespace

// Q_INIT_RESOURCE must be used outside any namespace.
static void initUiCommResources()
{
    Q_INIT_RESOURCE(zarvo_uicomm);
}

void UiLook::initResources()
{
    static std::once_flag once;
    std::call_once(once, initUiCommResources);
}

QString UiLook::styleSheet(const QString &name)
{
    initResources();
    QFile file(QStringLiteral(":/source/uicomm/qss/") + name + QStringLiteral(".qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString UiLook::windowStyleSheet(const QString &name)
{
    return styleSheet(QStringLiteral("common")) + QLatin1Char('\n') + styleSheet(name);
}

void UiLook::setRole(QWidget *widget, const QString &role)
{
    setStringProperty(widget, kRole, role);
}

void UiLook::setLook(QWidget *widget, Look look)
{
    setStringProperty(widget, kLook, lookName(look));
}

void UiLook::setEdge(QWidget *widget, Edge edge)
{
    setStringProperty(widget, kEdge, edgeName(edge));
}

void UiLook::setDevLook(QWidget *widget, DevLook look)
{
    setStringProperty(widget, kLook, devLookName(look));
}

UiLook::Look UiLook::look(const QWidget *widget)
{
    const QString name = widget ? widget->property(kLook).toString() : QString();
    if (name == QLatin1String("selected"))
        return Look::Selected;
    if (name == QLatin1String("disabled"))
        return Look::Disabled;
    return Look::Normal;
}

QString UiLook::switchIconPath(Switch state)
{
    switch (state) {
    case Switch::On:
        return QStringLiteral(":/source/uicomm/icon/btn_on_n@3x");
    case Switch::Off:
        return QStringLiteral(":/source/uicomm/icon/btn_off_n@3x");
    case Switch::Unavailable:
        return QStringLiteral(":/source/uicomm/icon/btn_dis_n@3x");
    }
    return QStringLiteral(":/source/uicomm/icon/btn_dis_n@3x");
}

void UiLook::setSwitch(QAbstractButton *button, Switch state)
{
    if (!button)
        return;
    initResources();
    button->setIcon(QIcon(switchIconPath(state)));
}

void UiLook::repolish(QWidget *widget)
{
    if (!widget)
        return;
    QStyle *style = widget->style();
    style->unpolish(widget);
    style->polish(widget);
    widget->update();
}
