// Creates the window's controls: each gets its design name as object name, its Tag and its place
// (docked with margins, or at its design position), and joins the registry in creation order.
#pragma once

#include "ui/controlregistry.h"
#include "ui/docklayout.h"

#include <QMarginsF>
#include <QRectF>

struct Place {
    Dock dock = Dock::None;
    QRectF geometry;
    QMarginsF margins;
};

// At the design position and size.
inline Place at(double x, double y, double width, double height) {
    return {Dock::None, QRectF(x, y, width, height), {}};
}

// Docked; the design geometry gives the docked height or width.
inline Place docked(Dock dock, double x, double y, double width, double height,
                    QMarginsF margins = {}) {
    return {dock, QRectF(x, y, width, height), margins};
}

// Margins in the order of the design tables: left, top, right, bottom.
inline QMarginsF margins(double left, double top, double right, double bottom) {
    return QMarginsF(left, top, right, bottom);
}

class Composer {
public:
    explicit Composer(ControlRegistry& registry) : m_registry(registry) {}

    template <class Control>
    Control* make(QWidget* parent, const char* name, const Place& place, int tag = 0) {
        auto* control = new Control(parent);
        control->setObjectName(QString::fromLatin1(name));
        control->setTag(tag);
        placeControl(control, place);
        m_registry.add(control);
        return control;
    }

private:
    static void placeControl(QWidget* control, const Place& place);
    ControlRegistry& m_registry;
};
