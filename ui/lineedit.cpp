#include "ui/lineedit.h"

#include "ui/textcolor.h"

#include <QGraphicsOpacityEffect>
#include <QValidator>

namespace {

// A pasted line break or NUL becomes a blank: the box holds one line, and so does the file.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input)
            if (c == u'\r' || c == u'\n' || c == u'\0')
                c = u' ';
        return Acceptable;
    }
};

} // namespace

LineEdit::LineEdit(QWidget* parent)
    : QLineEdit(parent), m_opacity(new QGraphicsOpacityEffect(this)) {
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
    setValidator(new SingleLineValidator(this));
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
    setPaletteTextColor(*this, color);
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
