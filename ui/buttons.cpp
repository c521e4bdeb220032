#include "ui/buttons.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

PushButton::PushButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setAttribute(Qt::WA_Hover);
}

void PushButton::setLook(ButtonLook look) {
    m_look = look;
    setFlat(look == ButtonLook::Back || look == ButtonLook::Link);
    setCursor(look == ButtonLook::Link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

void PushButton::setTextColors(const ButtonTextColors& colors) {
    if (colors == m_colors)
        return;
    m_colors = colors;
    update();
}

void PushButton::setBold(bool bold) {
    if (font().bold() == bold)
        return;
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void PushButton::setUnderline(bool underline) {
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
}

void PushButton::setRepeat(int delay, int interval) {
    setAutoRepeat(true);
    setAutoRepeatDelay(delay);
    setAutoRepeatInterval(interval);
}

TAlphaColor PushButton::currentTextColor() const {
    if (isDown())
        return m_colors.pressed;
    if (underMouse())
        return m_colors.hot;
    if (hasFocus())
        return m_colors.focused;
    return m_colors.normal;
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    // A focused QPushButton moves the focus on arrow keys; here they must move the date instead.
    if (isNavigationKey(event->key())) {
        event->ignore();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    const bool flat = m_look == ButtonLook::Back || m_look == ButtonLook::Link;
    if (!flat || isDown() || underMouse())
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (hasFocus() && !flat) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
    const TAlphaColor color = currentTextColor();
    const QRect area = rect().adjusted(4, 2, -4, -2);
    if (m_look == ButtonLook::ArrowLeft || m_look == ButtonLook::ArrowRight ||
        m_look == ButtonLook::Back) {
        paintGlyph(painter, area, color);
    }
    if (m_look == ButtonLook::ArrowLeft || m_look == ButtonLook::ArrowRight)
        return;
    painter.setPen(QColor::fromRgba(color));
    painter.setFont(font());
    QRect textArea = area;
    if (m_look == ButtonLook::Back)
        textArea.setLeft(area.left() + area.height() / 2 + 6);
    const QString shown =
        painter.fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignCenter, shown);
}

void PushButton::paintGlyph(QPainter& painter, const QRect& area, TAlphaColor color) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double size = std::min(area.width(), area.height()) * 0.42;
    QPointF centre = QRectF(area).center();
    if (m_look == ButtonLook::Back)
        centre.setX(area.left() + size * 0.7);
    QPainterPath chevron;
    const double half = size / 2;
    if (m_look == ButtonLook::ArrowRight) {
        chevron.moveTo(centre.x() - half / 2, centre.y() - half);
        chevron.lineTo(centre.x() + half / 2, centre.y());
        chevron.lineTo(centre.x() - half / 2, centre.y() + half);
    } else {
        chevron.moveTo(centre.x() + half / 2, centre.y() - half);
        chevron.lineTo(centre.x() - half / 2, centre.y());
        chevron.lineTo(centre.x() + half / 2, centre.y() + half);
    }
    QPen pen(QColor::fromRgba(color), std::max(2.0, size / 6));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevron);
    painter.restore();
}

SpeedButton::SpeedButton(QWidget* parent) : PushButton(parent) {
    setFocusPolicy(Qt::NoFocus);
}
