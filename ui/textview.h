// Texts that paint themselves: the free text items of the day cells and the labels. Always plain
// text, never markup; a carriage return shows as a line break. Font sizes are logical pixels and
// may be fractional.
#pragma once

#include "colors/namedcolors.h"
#include "ui/tagged.h"

#include <QMarginsF>
#include <QString>
#include <QWidget>

enum class TextAlign { Leading, Center, Trailing };

class TextView : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit TextView(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    TAlphaColor textColor() const { return m_color; }
    void setTextColor(TAlphaColor color);

    // Clamped to 1 ... 512; a change below 0.01 is not applied.
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size);

    bool bold() const { return m_bold; }
    void setBold(bool bold);
    bool underline() const { return m_underline; }
    void setUnderline(bool underline);

    TextAlign horizontalAlign() const { return m_hAlign; }
    TextAlign verticalAlign() const { return m_vAlign; }
    void setAlignment(TextAlign horizontal, TextAlign vertical);

    QMarginsF textMargins() const { return m_margins; }
    void setTextMargins(const QMarginsF& margins);

    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fontChanged();

    QString m_text;
    QString m_shownText; // carriage returns as line breaks
    TAlphaColor m_color = Colors::Black;
    double m_fontSize = 12;
    bool m_bold = false;
    bool m_underline = false;
    TextAlign m_hAlign = TextAlign::Center;
    TextAlign m_vAlign = TextAlign::Center;
    QMarginsF m_margins;
    bool m_wordWrap = false;
    QFont m_font;
};

// The text of a day cell: day number or sub-label. Never takes pointer input.
class FreeText : public TextView {
    Q_OBJECT

public:
    explicit FreeText(QWidget* parent = nullptr);
};

// A caption; it may hold controls docked at its sides while its text stays centred across the
// full width. A single line too long for the label is elided, so a long title never widens it.
class Label : public TextView {
    Q_OBJECT

public:
    explicit Label(QWidget* parent = nullptr);
};
