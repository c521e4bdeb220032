#include "ui/switchbutton.h"

#include "ui/buttons.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

SwitchButton::SwitchButton(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QSize SwitchButton::sizeHint() const {
    return QSize(41, 26);
}

void SwitchButton::keyPressEvent(QKeyEvent* event) {
    // QAbstractButton would move the focus to a neighbouring button on an arrow key.
    if (isNavigationKey(event->key())) {
        event->ignore();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

bool SwitchButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void SwitchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const double radius = bounds.height() / 2;
    const QPalette& colors = palette();
    const QColor track = isChecked() ? colors.color(QPalette::Highlight) : QColor(0xBD, 0xBD, 0xBD);
    painter.setPen(QPen(track.darker(isDown() ? 130 : 112), 1));
    painter.setBrush(isEnabled() ? track : track.lighter(130));
    painter.drawRoundedRect(bounds, radius, radius);

    const double thumb = bounds.height() - 4;
    const double x = isChecked() ? bounds.right() - 2 - thumb : bounds.left() + 2;
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.setBrush(underMouse() ? QColor(0xFA, 0xFA, 0xFA) : Qt::white);
    painter.drawEllipse(QRectF(x, bounds.top() + 2, thumb, thumb));

    if (hasFocus()) {
        painter.setPen(QPen(colors.color(QPalette::Highlight).darker(140), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius + 1,
                                radius + 1);
    }
}
