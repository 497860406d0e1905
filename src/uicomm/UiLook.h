#pragma once

#include <QColor>
#include <QString>

class QAbstractButton;
class QWidget;

// The application's dark colour scheme and the named looks of its controls.
//
// The style sheets in resources/qss/ match controls by three dynamic
// properties: "role" (what kind of control: option, tab, view, colorG, colorB,
// switch, help, dev, ...), "look" (its current state) and "edge" (its corner
// shape inside a row of option buttons). Restyling a control is therefore a
// property change plus a re-polish, and every window draws a given look the
// same way.
class UiLook final
{
public:
    UiLook() = delete;

    // Background of the main control area (the style sheets hold the other
    // colours of the scheme).
    static constexpr QRgb ControlArea = 0xFF141414;

    enum class Look {
        Selected, // white border or fill, dark text
        Normal,   // grey border, grey text
        Disabled, // dark border, dim text
    };

    // Corner shape of an option button: rows share their inner borders, so
    // only the outer corners are rounded.
    enum class Edge {
        Single, // all corners rounded
        First,  // rounded left corners
        Middle, // square corners
        Last,   // rounded right corners
    };

    enum class Switch {
        On,
        Off,
        Unavailable, // no camera: the switch cannot be used
    };

    // Looks of a device button: the "None" placeholder, the current camera,
    // any other camera.
    enum class DevLook {
        Unoccupied = 0,
        Current = 1,
        Other = 2,
    };

    // Registers the icons, style sheets and pictures of the widget library.
    // Called by the widgets themselves; safe to call any number of times.
    static void initResources();

    // The style sheet resources/qss/<name>.qss; empty when there is none.
    static QString styleSheet(const QString &name);

    // The shared sheet followed by the named window sheet; what each
    // top-level window of the program installs on itself.
    static QString windowStyleSheet(const QString &name);

    static void setRole(QWidget *widget, const QString &role);
    static void setLook(QWidget *widget, Look look);
    static void setEdge(QWidget *widget, Edge edge);
    static void setDevLook(QWidget *widget, DevLook look);
    static Look look(const QWidget *widget);

    // Sets the switch icon of an on/off button.
    static void setSwitch(QAbstractButton *button, Switch state);
    static QString switchIconPath(Switch state);

    // Re-applies the style sheet after a property change.
    static void repolish(QWidget *widget);
};
