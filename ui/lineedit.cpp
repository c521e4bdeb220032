#include "ui/lineedit.h"

#include <QGraphicsOpacityEffect>

LineEdit::LineEdit(QWidget* parent)
    : QLineEdit(parent), m_opacity(new QGraphicsOpacityEffect(this)) {
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
}

double LineEdit::opacity() const {
    return m_opacity->opacity();
}

void LineEdit::setOpacity(double opacity) {
    m_opacity->setOpacity(opacity);
}

void LineEdit::setTextColor(TAlphaColor color) {
    if (color == m_textColor)
        return;
    m_textColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Text, QColor::fromRgba(color));
    setPalette(p);
}

void LineEdit::setBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    setFont(f);
}

void LineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusGained();
}

void LineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLost();
}
