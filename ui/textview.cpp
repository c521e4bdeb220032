#include "ui/textview.h"

#include <QFontMetricsF>
#include <QLayout>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

Qt::Alignment toQt(TextAlign horizontal, TextAlign vertical) {
    constexpr Qt::Alignment across[] = {Qt::AlignLeading, Qt::AlignHCenter, Qt::AlignTrailing};
    constexpr Qt::Alignment down[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return across[static_cast<int>(horizontal)] | down[static_cast<int>(vertical)];
}

// `font`, or a smaller one when `needed` (measured in `font`) exceeds `available`.
QFont fittedFont(const QFont& font, const QSizeF& needed, const QSizeF& available,
                 double minimumScale) {
    double scale = 1;
    if (needed.width() > available.width())
        scale = available.width() / needed.width();
    if (needed.height() > available.height())
        scale = std::min(scale, available.height() / needed.height());
    scale = std::max(scale, minimumScale);
    if (scale >= 1)
        return font;
    QFont fitted = font;
    fitted.setPixelSize(std::max(1, static_cast<int>(std::floor(font.pixelSize() * scale))));
    return fitted;
}

// Smaller than this, a day's words are harder to read than its disc is to see.
constexpr double SmallestWords = 9;
const QString WordsGlue = QStringLiteral(" \u00b7 ");

// The largest whole pixel size, at most `wanted`, at which a line of `font` fits `height`; 0
// where even the smallest readable size does not.
int fittingWordsSize(QFont font, double height, double wanted) {
    for (int pixels = static_cast<int>(std::floor(wanted)); pixels >= SmallestWords; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).height() <= height)
            return pixels;
    }
    return 0;
}

// All the words where they fit `room`; else as many whole ones as fit, then an ellipsis; else
// the first cut short.
QString wordsThatFit(const QStringList& words, const QFontMetricsF& metrics, double room) {
    const QString all = words.join(WordsGlue);
    if (metrics.horizontalAdvance(all) <= room)
        return all;
    for (qsizetype kept = words.size() - 1; kept >= 1; --kept) {
        const QString some = words.mid(0, kept).join(WordsGlue) + QStringLiteral(" \u2026");
        if (metrics.horizontalAdvance(some) <= room)
            return some;
    }
    return metrics.elidedText(all, Qt::ElideRight, room);
}

// Line breaks as the text engine reads them.
QString withLineBreaks(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QSizeF linesSize(const QFontMetricsF& metrics, const QString& lines) {
    return metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), 0, lines).size();
}

// Lines that do not fit the height join the last one shown, so what they say still shows as
// far as the width lets it; then every line too wide is cut at its end.
QStringList elidedLines(const QFontMetricsF& metrics, QStringList lines, const QSizeF& area) {
    while (lines.size() > 1 &&
           linesSize(metrics, lines.join(QLatin1Char('\n'))).height() > area.height()) {
        const QString last = lines.takeLast();
        lines.last() += QStringLiteral(" \u00b7 ") + last;
    }
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, area.width());
    return lines;
}

} // namespace

template <class Widget>
TextView<Widget>::TextView(QWidget* parent) : Widget(parent), m_font(this->font()) {
    fontChanged();
}

template <class Widget> void TextView<Widget>::setTextColor(TAlphaColor color) {
    if (color == m_color)
        return;
    m_color = color;
    this->update();
}

template <class Widget> void TextView<Widget>::setFontSize(double size) {
    size = std::clamp(size, 1.0, 512.0);
    if (std::abs(size - m_fontSize) < 0.01)
        return;
    m_fontSize = size;
    fontChanged();
}

template <class Widget> void TextView<Widget>::setBold(bool bold) {
    if (bold == m_bold)
        return;
    m_bold = bold;
    fontChanged();
}

template <class Widget> void TextView<Widget>::setUnderline(bool underline) {
    if (underline == m_underline)
        return;
    m_underline = underline;
    fontChanged();
}

template <class Widget> void TextView<Widget>::fontChanged() {
    // Qt draws whole pixel sizes; the fractional size stays in m_fontSize for the layout rules.
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(m_fontSize))));
    m_font.setBold(m_bold);
    m_font.setUnderline(m_underline);
    this->update();
}

template <class Widget>
typename TextView<Widget>::Placement
TextView<Widget>::place(const QString& text, const QRectF& area, Qt::Alignment alignment,
                        double minimumFitScale, bool elideLines) const {
    Placement placement;
    placement.font = m_font;
    placement.shown = withLineBreaks(text);
    if (placement.shown.contains(QLatin1Char('\n'))) {
        placement.multiLine = true;
        const QSizeF needed = linesSize(QFontMetricsF(m_font), placement.shown);
        placement.font = fittedFont(m_font, elideLines ? QSizeF(0, needed.height()) : needed,
                                    area.size(), minimumFitScale);
        const QFontMetricsF metrics(placement.font);
        if (elideLines)
            placement.shown =
                elidedLines(metrics, placement.shown.split(QLatin1Char('\n')), area.size())
                    .join(QLatin1Char('\n'));
        placement.box = metrics.boundingRect(area, static_cast<int>(alignment), placement.shown);
        return placement;
    }
    // Most texts are one short line: measured and drawn by the plain text engine rather than the
    // full text layout that a rectangle-bound drawText builds. Nothing is kept between paints.
    const QFontMetricsF metrics(m_font);
    QSizeF size(metrics.horizontalAdvance(placement.shown), metrics.height());
    placement.font = fittedFont(m_font, elideLines ? QSizeF(0, size.height()) : size, area.size(),
                                minimumFitScale);
    double ascent = metrics.ascent();
    if (placement.font != m_font || (elideLines && size.width() > area.width())) {
        const QFontMetricsF fitted(placement.font);
        size = QSizeF(fitted.horizontalAdvance(placement.shown), fitted.height());
        // Still too wide at the smallest size allowed: the end is cut.
        if (size.width() > area.width()) {
            placement.shown = fitted.elidedText(placement.shown, Qt::ElideRight, area.width());
            size.setWidth(fitted.horizontalAdvance(placement.shown));
        }
        ascent = fitted.ascent();
    }
    const Qt::Alignment visual = QStyle::visualAlignment(this->layoutDirection(), alignment);
    double x = area.left() + (area.width() - size.width()) / 2;
    if (visual & Qt::AlignLeft)
        x = area.left();
    else if (visual & Qt::AlignRight)
        x = area.right() - size.width();
    double top = area.top() + (area.height() - size.height()) / 2;
    if (visual & Qt::AlignTop)
        top = area.top();
    else if (visual & Qt::AlignBottom)
        top = area.bottom() - size.height();
    placement.box = QRectF(QPointF(x, top), size);
    placement.baseline = QPointF(x, top + ascent);
    return placement;
}

template <class Widget>
void TextView<Widget>::paintText(const QString& text, const QRectF& area, Qt::Alignment alignment,
                                 double minimumFitScale, bool elideLines) {
    if (text.isEmpty() || area.width() <= 0 || area.height() <= 0)
        return;
    const Placement placement = place(text, area, alignment, minimumFitScale, elideLines);
    QPainter painter(this);
    painter.setPen(QColor::fromRgba(m_color));
    painter.setFont(placement.font);
    if (placement.multiLine) {
        painter.drawText(area, static_cast<int>(alignment), placement.shown);
        return;
    }
    if (placement.box.width() > area.width() || placement.box.height() > area.height())
        painter.setClipRect(area, Qt::IntersectClip);
    painter.drawText(placement.baseline, placement.shown);
}

template class TextView<QWidget>;
template class TextView<QLabel>;

FreeText::FreeText(QWidget* parent) : TextView(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FreeText::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void FreeText::setAlignment(TextAlign horizontal, TextAlign vertical) {
    if (horizontal == m_hAlign && vertical == m_vAlign)
        return;
    m_hAlign = horizontal;
    m_vAlign = vertical;
    update();
}

void FreeText::setTextMargins(const QMarginsF& margins) {
    if (margins == m_margins)
        return;
    m_margins = margins;
    update();
}

void FreeText::setCornerMark(CornerMark mark, TAlphaColor color, double size, double wordsSize) {
    if (mark == m_mark && color == m_markColor && size == m_markSize && wordsSize == m_wordsSize)
        return;
    m_mark = mark;
    m_markColor = color;
    m_markSize = size;
    m_wordsSize = wordsSize;
    update();
}

QRectF FreeText::textArea() const {
    return QRectF(rect()).marginsRemoved(m_margins);
}

QRectF FreeText::textInk() const {
    const QRectF area = textArea();
    if (m_text.isEmpty() || area.width() <= 0 || area.height() <= 0)
        return {};
    const Placement placement = place(m_text, area, toQt(m_hAlign, m_vAlign), 0);
    if (placement.multiLine)
        return placement.box;
    const QFontMetricsF metrics(placement.font);
    QRectF ink = metrics.tightBoundingRect(placement.shown).translated(placement.baseline);
    if (placement.font.underline())
        ink.setBottom(std::max(ink.bottom(), placement.baseline.y() + metrics.underlinePos() +
                                                 metrics.lineWidth()));
    return ink;
}

FreeText::WordsInputs FreeText::wordsInputs() const {
    WordsInputs inputs{size(),   m_mark,   m_wordsSize, textFont(),        fontSize(), m_text,
                       m_hAlign, m_vAlign, m_margins,   layoutDirection(), {}};
    for (const FreeText* inside : findChildren<FreeText*>(Qt::FindDirectChildrenOnly)) {
        if (!inside->isHidden() && !inside->text().isEmpty())
            inputs.inner.append({inside->geometry(), inside->text(), inside->textFont()});
    }
    return inputs;
}

FreeText::MarkWords FreeText::markWords() const {
    if (m_mark.words.isEmpty() || m_wordsSize < SmallestWords)
        return {};
    WordsInputs inputs = wordsInputs();
    if (!m_wordsLaidOut || !(m_wordsInputs == inputs)) {
        m_wordsLayout = layOutMarkWords();
        m_wordsInputs = std::move(inputs);
        m_wordsLaidOut = true;
    }
    return m_wordsLayout;
}

FreeText::MarkWords FreeText::layOutMarkWords() const {
    QFont font = textFont();
    font.setBold(false);
    font.setUnderline(false);
    const QRectF band = wordsBand(font);
    const int largest = fittingWordsSize(font, band.height(), m_wordsSize);
    if (band.width() <= 0 || largest == 0)
        return {};
    const QString all = m_mark.words.join(WordsGlue);
    const auto flagWidthAt = [this](int pixels) {
        return m_mark.flagged ? std::max(1.5, pixels * 0.14) : 0.0;
    };
    const auto flagGapAt = [this](int pixels) { return m_mark.flagged ? pixels * 0.3 : 0.0; };
    const auto roomAt = [&](int pixels) {
        return band.width() - flagWidthAt(pixels) - flagGapAt(pixels);
    };
    // A little smaller rather than cut: "Trade in" whole says more than "Trade…".
    const int smallest =
        std::max(static_cast<int>(SmallestWords), static_cast<int>(std::ceil(largest * 0.75)));
    int pixels = largest;
    for (; pixels > smallest; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(all) <= roomAt(pixels))
            break;
    }
    font.setPixelSize(pixels);
    const QFontMetricsF metrics(font);
    const double room = roomAt(pixels);
    // Room for a few letters at least: "Vac…" says something, "V…" does not.
    if (room < metrics.horizontalAdvance(m_mark.words.first().left(3) + QChar(0x2026)))
        return {};

    MarkWords words;
    words.font = font;
    words.shown = wordsThatFit(m_mark.words, metrics, room);
    const double flagWidth = flagWidthAt(pixels);
    const double lineWidth = flagWidth + flagGapAt(pixels) + metrics.horizontalAdvance(words.shown);
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    double left = band.left() + (band.width() - lineWidth) / 2;
    if (m_hAlign == TextAlign::Leading)
        left = rightToLeft ? band.right() - lineWidth : band.left();
    else if (m_hAlign == TextAlign::Trailing)
        left = rightToLeft ? band.left() : band.right() - lineWidth;
    const double top = band.top() + (band.height() - metrics.height()) / 2;
    words.area = QRectF(left, top, lineWidth, metrics.height());
    if (m_mark.flagged) {
        // The exclamation mark stands before the words, as tall as their capitals.
        const double x = rightToLeft ? words.area.right() - flagWidth : left;
        const double baseline = top + metrics.ascent();
        words.flag = QRectF(x, baseline - metrics.capHeight(), flagWidth, metrics.capHeight());
    }
    return words;
}

QRectF FreeText::wordsBand(const QFont& font) const {
    const double gap = std::max(1.0, m_wordsSize * 0.15);
    const double side = std::max(2.0, width() * 0.05);
    const QRectF ink = textInk();
    QRectF band(side, ink.isValid() ? ink.bottom() + gap : gap, width() - 2 * side, 0);
    band.setBottom(height() - gap);
    for (const FreeText* inside : findChildren<FreeText*>(Qt::FindDirectChildrenOnly)) {
        if (inside->isHidden() || inside->text().isEmpty())
            continue;
        const QRectF taken =
            inside->textInk().translated(inside->pos()).adjusted(-gap, -gap, gap, gap);
        if (!taken.intersects(band))
            continue;
        // Above the inner text across the whole width, or beside it down to the bottom:
        // whichever takes the larger words, and of two alike the wider.
        QRectF above = band;
        above.setBottom(taken.top());
        QRectF beside = band;
        if (taken.center().x() > band.center().x())
            beside.setRight(taken.left());
        else
            beside.setLeft(taken.right());
        const int aboveSize = fittingWordsSize(font, above.height(), m_wordsSize);
        const int besideSize =
            beside.width() > 0 ? fittingWordsSize(font, beside.height(), m_wordsSize) : 0;
        const bool takeAbove =
            aboveSize > besideSize || (aboveSize == besideSize && above.width() >= beside.width());
        band = takeAbove ? above : beside;
    }
    return band;
}

void FreeText::paintShape(QPainter& painter, const QRectF& disc, double pen) const {
    const QColor color = QColor::fromRgba(m_markColor);
    if (m_mark.shape == CornerMark::Shape::Disc) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(disc);
    } else {
        painter.setPen(QPen(color, pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
    }
}

void FreeText::paintFlag(QPainter& painter, const QRectF& bar) const {
    // A bar and a dot, so the mark needs no font and looks the same beside a disc and words.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(m_markColor));
    const double dot = bar.width();
    painter.drawRect(QRectF(bar.left(), bar.top(), dot, bar.height() * 0.68));
    painter.drawRect(QRectF(bar.left(), bar.bottom() - dot, dot, dot));
}

void FreeText::paintEvent(QPaintEvent*) {
    paintText(m_text, textArea(), toQt(m_hAlign, m_vAlign), 0);
    if (m_mark.shape == CornerMark::Shape::None)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const MarkWords words = markWords();
    if (!words.area.isEmpty()) {
        painter.setPen(QColor::fromRgba(m_markColor));
        painter.setFont(words.font);
        const QFontMetricsF metrics(words.font);
        const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
        const double x = rightToLeft || words.flag.isEmpty()
                             ? words.area.left()
                             : words.area.right() - metrics.horizontalAdvance(words.shown);
        painter.drawText(QPointF(x, words.area.top() + metrics.ascent()), words.shown);
        if (!words.flag.isEmpty())
            paintFlag(painter, words.flag);
        return;
    }
    const double inset = std::max(2.0, m_markSize * 0.3);
    const double pen = std::max(1.5, m_markSize * 0.16);
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    QRectF disc(0, height() - inset - m_markSize, m_markSize, m_markSize);
    disc.moveLeft(rightToLeft ? width() - inset - m_markSize : inset);
    paintShape(painter, disc, pen);
    if (!m_mark.flagged)
        return;
    // The exclamation mark stands on the inner side of the disc, as tall as the disc.
    const double barWidth = pen * 1.2;
    const double x = rightToLeft ? disc.left() - pen * 1.5 - barWidth : disc.right() + pen * 1.5;
    paintFlag(painter, QRectF(x, disc.top(), barWidth, disc.height()));
}

Label::Label(QWidget* parent) : TextView(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
}

void Label::setElideBeforeShrinking(double smallestSize) {
    if (m_elideLines && smallestSize == m_smallestSize)
        return;
    m_elideLines = true;
    m_smallestSize = smallestSize;
    update();
}

double Label::minimumFitScale() const {
    if (!m_elideLines)
        return 0.5;
    return std::min(1.0, m_smallestSize / textFont().pixelSize());
}

QFont Label::shownFont() const {
    return place(text(), textArea(), alignment(), minimumFitScale(), m_elideLines).font;
}

QString Label::shownText() const {
    return place(text(), textArea(), alignment(), minimumFitScale(), m_elideLines).shown;
}

void Label::paintEvent(QPaintEvent*) {
    paintText(text(), textArea(), alignment(), minimumFitScale(), m_elideLines);
}

QRectF Label::textArea() const {
    // Equal room off both sides keeps the text centred on the whole label; a small gap keeps it
    // from touching the controls.
    constexpr double Gap = 4;
    double inset = 0;
    if (const QLayout* docking = layout()) {
        for (int i = 0; i < docking->count(); ++i) {
            const QWidget* child = docking->itemAt(i)->widget();
            if (!child || child->isHidden())
                continue;
            const QRect g = child->geometry();
            const double taken = g.center().x() < width() / 2 ? g.x() + g.width() : width() - g.x();
            inset = std::max(inset, taken + Gap);
        }
    }
    return QRectF(rect()).adjusted(inset, 0, -inset, 0);
}
