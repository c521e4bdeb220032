#include "ui/composer.h"

#include "ui/gridpanel.h"

#include <cmath>

void Composer::placeControl(QWidget* control, const Place& place) {
    QWidget* parent = control->parentWidget();
    if (place.dock != Dock::None && parent) {
        DockLayout::of(parent)->addDocked(control, place.dock, place.geometry.size(),
                                          place.margins);
        return;
    }
    const QRectF& g = place.geometry;
    control->setGeometry(static_cast<int>(std::lround(g.x())), static_cast<int>(std::lround(g.y())),
                         static_cast<int>(std::lround(g.width())),
                         static_cast<int>(std::lround(g.height())));
    if (auto* grid = qobject_cast<GridPanel*>(parent))
        grid->arrange();
}
