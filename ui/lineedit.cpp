#include "ui/lineedit.h"

#include "ui/textcolor.h"

#include <QGraphicsOpacityEffect>
#include <QValidator>

namespace {

// A pasted line break or NUL becomes a blank: the box holds one line, and so does the file. Half
// a surrogate pair, which no file encoding can hold, becomes the replacement character.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            if (c == u'\r' || c == u'\n' || c == u'\0') {
                input[i] = u' ';
            } else if (c.isHighSurrogate() && i + 1 < input.size() &&
                       input[i + 1].isLowSurrogate()) {
                ++i;
            } else if (c.isSurrogate()) {
                input[i] = QChar::ReplacementCharacter;
            }
        }
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
