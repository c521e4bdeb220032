// A one-line edit box with a prompt, an opacity and focus events.
#pragma once

#include "colors/namedcolors.h"
#include "ui/tagged.h"

#include <QLineEdit>

class QGraphicsOpacityEffect;

class LineEdit : public QLineEdit, public Tagged {
    Q_OBJECT

public:
    explicit LineEdit(QWidget* parent = nullptr);

    double opacity() const;
    void setOpacity(double opacity);
    void setTextColor(TAlphaColor color);
    TAlphaColor textColor() const { return m_textColor; }
    void setBold(bool bold);

signals:
    void focusGained();
    void focusLost();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QGraphicsOpacityEffect* m_opacity;
    TAlphaColor m_textColor = Colors::Black;
};
