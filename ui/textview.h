// Texts that paint themselves: the free text items of the day cells and the labels. Always plain
// text, never markup; a carriage return shows as a line break. Font sizes are logical pixels and
// may be fractional.
#pragma once

#include "colors/namedcolors.h"
#include "ui/tagged.h"

#include <QLabel>
#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <QWidget>

enum class TextAlign { Leading, Center, Trailing };

// The colour, font and shrink-to-fit painting that both kinds of text share, over the widget
// each is built on.
template <class Widget> class TextView : public Widget, public Tagged {
public:
    explicit TextView(QWidget* parent = nullptr);

    TAlphaColor textColor() const { return m_color; }
    void setTextColor(TAlphaColor color);

    // Clamped to 1 ... 512; a change below 0.01 is not applied.
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size);

    bool bold() const { return m_bold; }
    void setBold(bool bold);
    bool underline() const { return m_underline; }
    void setUnderline(bool underline);

    // The font the text is drawn in, at the font size rounded to whole pixels.
    const QFont& textFont() const { return m_font; }

protected:
    // How a text is set in its area: its font, the text as drawn (lines joined by '\n'), the
    // box its lines take, and where a single line's baseline starts.
    struct Placement {
        QFont font;
        QString shown;
        QRectF box;
        QPointF baseline;
        bool multiLine = false;
    };
    // A text wider (or taller) than `area` is drawn smaller, but not below `minimumFitScale` of
    // its font size; what still does not fit a single line is elided. With `elideLines`, a line
    // too wide is elided at once and only a height too small makes the text smaller; lines that
    // still do not fit the height join the last one shown, after a middle dot.
    Placement place(const QString& text, const QRectF& area, Qt::Alignment alignment,
                    double minimumFitScale, bool elideLines = false) const;
    void paintText(const QString& text, const QRectF& area, Qt::Alignment alignment,
                   double minimumFitScale, bool elideLines = false);

private:
    void fontChanged();

    TAlphaColor m_color = Colors::Black;
    double m_fontSize = 12;
    bool m_bold = false;
    bool m_underline = false;
    QFont m_font;
};

extern template class TextView<QWidget>;
extern template class TextView<QLabel>;

// The text of a day cell: day number or sub-label. Never takes pointer input. A text too large
// for its cell is drawn as large as fits, never elided: "1…" would say nothing.
class FreeText : public TextView<QWidget> {
    Q_OBJECT

public:
    explicit FreeText(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    TextAlign horizontalAlign() const { return m_hAlign; }
    TextAlign verticalAlign() const { return m_vAlign; }
    void setAlignment(TextAlign horizontal, TextAlign vertical);

    QMarginsF textMargins() const { return m_margins; }
    void setTextMargins(const QMarginsF& margins);

    // A mark in the bottom leading corner, apart from the text: a disc, a ring, either with an
    // exclamation mark beside it, `size` logical pixels across. Where the mark has words and
    // there is room under the text, the words stand there instead of the shape, on one line,
    // the exclamation mark before them: at `wordsSize`, or a little smaller where that makes
    // them fit; else as many whole words as fit, then an ellipsis; else the first cut short.
    struct CornerMark {
        enum class Shape { None, Disc, Ring };
        Shape shape = Shape::None;
        bool flagged = false;
        QStringList words;
        friend bool operator==(const CornerMark&, const CornerMark&) = default;
    };
    CornerMark cornerMark() const { return m_mark; }
    void setCornerMark(CornerMark mark, TAlphaColor color, double size, double wordsSize = 0);

    // Where the glyphs of the text lie (and its underline), in the widget's coordinates.
    QRectF textInk() const;

    // Where the mark's words are drawn, as a layout of the widget's present size and texts:
    // `area` is empty where there is no room for them and the shape stands instead. Texts
    // inside this one (a sub-label) keep their place: the words stay clear of them.
    struct MarkWords {
        QRectF area; // the words' line, exclamation mark included
        QRectF flag; // the exclamation mark, empty when the mark is not flagged
        QFont font;
        QString shown; // the words as drawn, elided where they had to be
    };
    MarkWords markWords() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF textArea() const;
    // The free band under the text, clear of the texts inside this one.
    QRectF wordsBand(const QFont& font) const;
    void paintShape(QPainter& painter, const QRectF& disc, double pen) const;
    void paintFlag(QPainter& painter, const QRectF& bar) const;
    MarkWords layOutMarkWords() const;

    // Everything the words' layout depends on: the grid repaints every cell at each step, and
    // measuring the words again for cells that did not change is most of a step's cost.
    struct InnerText {
        QRect geometry;
        QString text;
        QFont font;
        friend bool operator==(const InnerText&, const InnerText&) = default;
    };
    struct WordsInputs {
        QSize size;
        CornerMark mark;
        double wordsSize = 0;
        QFont font;
        double fontSize = 0;
        QString text;
        TextAlign hAlign = TextAlign::Center;
        TextAlign vAlign = TextAlign::Center;
        QMarginsF margins;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        QList<InnerText> inner;
        friend bool operator==(const WordsInputs&, const WordsInputs&) = default;
    };
    WordsInputs wordsInputs() const;
    mutable bool m_wordsLaidOut = false;
    mutable WordsInputs m_wordsInputs;
    mutable MarkWords m_wordsLayout;

    CornerMark m_mark;
    TAlphaColor m_markColor = Colors::Black;
    double m_markSize = 10;
    double m_wordsSize = 0;
    QString m_text;
    TextAlign m_hAlign = TextAlign::Center;
    TextAlign m_vAlign = TextAlign::Center;
    QMarginsF m_margins;
};

// A caption; it may hold controls docked at its sides while its text stays centred across the
// full width, clear of those controls. A text too wide is drawn smaller, down to half its size,
// and a single line that still does not fit is elided, so a long title never widens the label.
// Text and alignment are the label's own; a screen reader hears the text as it stands.
class Label : public TextView<QLabel> {
    Q_OBJECT

public:
    explicit Label(QWidget* parent = nullptr);

    // Where the text may go: clear of the controls docked at the sides.
    QRectF textArea() const;

    // Lines too wide are elided before the text is drawn smaller, and it is drawn smaller only
    // to fit the height, never below `smallestSize` logical pixels.
    void setElideBeforeShrinking(double smallestSize);

    // The font and the text as the label draws them at its present size.
    QFont shownFont() const;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double minimumFitScale() const;

    bool m_elideLines = false;
    double m_smallestSize = 0;
};
