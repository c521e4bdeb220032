#include "ui/containers.h"

#include <QGestureEvent>
#include <QMouseEvent>

void Panel::enableTouchGestures() {
    // A double tap arrives as a double click, synthesised from the touch events.
    grabGesture(Qt::TapAndHoldGesture);
}

void Panel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

bool Panel::event(QEvent* event) {
    if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        for (QGesture* gesture : gestures->gestures()) {
            gestures->accept(gesture);
            if (gesture->state() == Qt::GestureFinished)
                emit touchGesture(gesture->gestureType());
        }
        return true;
    }
    return QWidget::event(event);
}
