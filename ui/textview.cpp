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

void paintSingleLine(QPainter& painter, const QFont& setFont, QString shown, const QRectF& area,
                     Qt::Alignment visual, double minimumScale) {
    // Most texts are one short line: measured and drawn by the plain text engine rather than the
    // full text layout that a rectangle-bound drawText builds. Nothing is kept between paints.
    const QFontMetricsF metrics(setFont);
    QSizeF size(metrics.horizontalAdvance(shown), metrics.height());
    const QFont font = fittedFont(setFont, size, area.size(), minimumScale);
    double ascent = metrics.ascent();
    if (font != setFont) {
        const QFontMetricsF fitted(font);
        size = QSizeF(fitted.horizontalAdvance(shown), fitted.height());
        // Still too wide at the smallest size allowed: the end is cut.
        if (size.width() > area.width()) {
            shown = fitted.elidedText(shown, Qt::ElideRight, area.width());
            size.setWidth(fitted.horizontalAdvance(shown));
        }
        ascent = fitted.ascent();
    }
    painter.setFont(font);
    if (size.width() > area.width() || size.height() > area.height())
        painter.setClipRect(area, Qt::IntersectClip);

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
    painter.drawText(QPointF(x, top + ascent), shown);
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
void TextView<Widget>::paintText(const QString& text, const QRectF& area, Qt::Alignment alignment,
                                 double minimumFitScale) {
    if (text.isEmpty() || area.width() <= 0 || area.height() <= 0)
        return;
    QPainter painter(this);
    painter.setPen(QColor::fromRgba(m_color));
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (shown.contains(QLatin1Char('\n'))) {
        const QSizeF needed =
            QFontMetricsF(m_font).boundingRect(QRectF(0, 0, 1e6, 1e6), 0, shown).size();
        painter.setFont(fittedFont(m_font, needed, area.size(), minimumFitScale));
        painter.drawText(area, static_cast<int>(alignment), shown);
        return;
    }
    paintSingleLine(painter, m_font, shown, area,
                    QStyle::visualAlignment(this->layoutDirection(), alignment), minimumFitScale);
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

void FreeText::setCornerMark(CornerMark mark, TAlphaColor color, double size) {
    if (mark == m_mark && color == m_markColor && size == m_markSize)
        return;
    m_mark = mark;
    m_markColor = color;
    m_markSize = size;
    update();
}

void FreeText::paintEvent(QPaintEvent*) {
    paintText(m_text, QRectF(rect()).marginsRemoved(m_margins), toQt(m_hAlign, m_vAlign), 0);
    if (m_mark.shape == CornerMark::Shape::None)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = QColor::fromRgba(m_markColor);
    const double inset = std::max(2.0, m_markSize * 0.3);
    const double pen = std::max(1.5, m_markSize * 0.16);
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    QRectF disc(0, height() - inset - m_markSize, m_markSize, m_markSize);
    disc.moveLeft(rightToLeft ? width() - inset - m_markSize : inset);
    if (m_mark.shape == CornerMark::Shape::Disc) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(disc);
    } else {
        painter.setPen(QPen(color, pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
    }
    if (!m_mark.flagged)
        return;
    // The exclamation mark stands on the inner side of the disc, as tall as the disc.
    const double barWidth = pen * 1.2;
    const double x = rightToLeft ? disc.left() - pen * 1.5 - barWidth : disc.right() + pen * 1.5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRect(QRectF(x, disc.top(), barWidth, disc.height() * 0.68));
    painter.drawRect(QRectF(x, disc.bottom() - barWidth, barWidth, barWidth));
}

Label::Label(QWidget* parent) : TextView(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
}

void Label::paintEvent(QPaintEvent*) {
    paintText(text(), textArea(), alignment(), 0.5);
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
