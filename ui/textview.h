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

    // The largest font size, at most `size`, at which `text` in this item's font fits `box` on
    // one line with a little room left at each side: what a row of texts that must share one
    // size is drawn in. The box is the item's place, which a pending layout may not have given it
    // yet.
    double fittingFontSize(const QString& text, double size, bool bold, const QSizeF& box) const;

protected:
    void paintEvent(QPaintEvent* event) override;

    // Where the text may go; the labels keep clear of the controls docked at their sides.
    virtual QRectF textArea() const;
    // A text wider (or taller) than its area is drawn smaller, but not below this share of its
    // font size; what still does not fit a single line is elided.
    void setMinimumFitScale(double scale) { m_minimumFitScale = scale; }

private:
    void fontChanged();
    // The set font, or a smaller one when `needed` (measured in the set font) exceeds `available`.
    QFont fittedFont(const QSizeF& needed, const QSizeF& available) const;
    void paintSingleLine(QPainter& painter, const QRectF& area, Qt::Alignment alignment) const;

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
    double m_minimumFitScale = 0;
    QFont m_font;
};

// The text of a day cell: day number or sub-label. Never takes pointer input. A text too large
// for its cell is drawn as large as fits, never elided: "1…" would say nothing.
class FreeText : public TextView {
    Q_OBJECT

public:
    explicit FreeText(QWidget* parent = nullptr);
};

// A caption; it may hold controls docked at its sides while its text stays centred across the
// full width, clear of those controls. A text too wide is drawn smaller, down to half its size,
// and a single line that still does not fit is elided, so a long title never widens the label.
class Label : public TextView {
    Q_OBJECT

public:
    explicit Label(QWidget* parent = nullptr);

protected:
    QRectF textArea() const override;
};
