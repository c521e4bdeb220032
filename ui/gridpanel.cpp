#include "ui/gridpanel.h"

#include <QGestureEvent>
#include <QTapAndHoldGesture>

#include <cmath>

GridPanel::GridPanel(QWidget* parent) : QWidget(parent) {}

void GridPanel::setItemSize(double width, double height) {
    // Sizes are kept as single-precision reals, as the layout computes them.
    m_itemWidth = static_cast<float>(width);
    m_itemHeight = static_cast<float>(height);
    arrange();
}

void GridPanel::arrange() {
    const double width = this->width();
    // Floating-point noise must not push the seventh item of (width - 0.1) / 7 to a new row.
    const double epsilon = 1e-6;
    int column = 0;
    int row = 0;
    for (QObject* object : children()) {
        auto* item = qobject_cast<QWidget*>(object);
        if (!item || item->isWindow())
            continue;
        if (column > 0 && m_itemWidth > 0 && (column + 1) * m_itemWidth > width + epsilon) {
            column = 0;
            ++row;
        }
        const long left = std::lround(column * m_itemWidth);
        const long right = std::lround((column + 1) * m_itemWidth);
        const long top = std::lround(row * m_itemHeight);
        const long bottom = std::lround((row + 1) * m_itemHeight);
        item->setGeometry(static_cast<int>(left), static_cast<int>(top),
                          static_cast<int>(std::max(0L, right - left)),
                          static_cast<int>(std::max(0L, bottom - top)));
        ++column;
    }
}

void GridPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

bool GridPanel::event(QEvent* event) {
    if (event->type() == QEvent::Gesture) {
        auto* gestureEvent = static_cast<QGestureEvent*>(event);
        if (QGesture* hold = gestureEvent->gesture(Qt::TapAndHoldGesture)) {
            gestureEvent->accept(hold);
            if (hold->state() == Qt::GestureFinished)
                emit longPressed();
            return true;
        }
    }
    return QWidget::event(event);
}
