#include "ui/textview.h"

#include <QAccessibleWidget>

#include <QFontMetricsF>
#include <QLayout>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

Qt::Alignment toQt(TextAlign horizontal, TextAlign vertical) {
    Qt::Alignment result;
    switch (horizontal) {
    case TextAlign::Leading:
        result |= Qt::AlignLeading;
        break;
    case TextAlign::Center:
        result |= Qt::AlignHCenter;
        break;
    case TextAlign::Trailing:
        result |= Qt::AlignTrailing;
        break;
    }
    switch (vertical) {
    case TextAlign::Leading:
        result |= Qt::AlignTop;
        break;
    case TextAlign::Center:
        result |= Qt::AlignVCenter;
        break;
    case TextAlign::Trailing:
        result |= Qt::AlignBottom;
        break;
    }
    return result;
}

} // namespace

TextView::TextView(QWidget* parent) : QWidget(parent), m_font(font()) {
    fontChanged();
}

void TextView::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    m_shownText = text;
    m_shownText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    update();
}

void TextView::setTextColor(TAlphaColor color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TextView::setFontSize(double size) {
    size = std::clamp(size, 1.0, 512.0);
    if (std::abs(size - m_fontSize) < 0.01)
        return;
    m_fontSize = size;
    fontChanged();
}

void TextView::setBold(bool bold) {
    if (bold == m_bold)
        return;
    m_bold = bold;
    fontChanged();
}

void TextView::setUnderline(bool underline) {
    if (underline == m_underline)
        return;
    m_underline = underline;
    fontChanged();
}

void TextView::setAlignment(TextAlign horizontal, TextAlign vertical) {
    if (horizontal == m_hAlign && vertical == m_vAlign)
        return;
    m_hAlign = horizontal;
    m_vAlign = vertical;
    update();
}

void TextView::setTextMargins(const QMarginsF& margins) {
    if (margins == m_margins)
        return;
    m_margins = margins;
    update();
}

void TextView::setWordWrap(bool wrap) {
    if (wrap == m_wordWrap)
        return;
    m_wordWrap = wrap;
    update();
}

void TextView::fontChanged() {
    // Qt draws whole pixel sizes; the fractional size stays in m_fontSize for the layout rules.
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(m_fontSize))));
    m_font.setBold(m_bold);
    m_font.setUnderline(m_underline);
    update();
}

QRectF TextView::textArea() const {
    return QRectF(rect()).marginsRemoved(m_margins);
}

double TextView::fittingFontSize(const QString& text, double size, bool bold,
                                 const QSizeF& box) const {
    // Neighbouring texts keep at least this much apart.
    const double padding = std::max(2.0, box.width() * 0.05);
    const QSizeF room(box.width() - 2 * padding, box.height());
    if (text.isEmpty() || room.width() <= 0 || room.height() <= 0)
        return size;
    QFont probe = m_font;
    probe.setBold(bold);
    probe.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    const auto fits = [&text, &room](const QFont& font) {
        const QFontMetricsF metrics(font);
        return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height();
    };
    if (fits(probe))
        return size;
    // Text grows about in proportion to the size; hinting may round a glyph up, so step down
    // from the estimate until it fits.
    const QFontMetricsF metrics(probe);
    const double scale =
        std::min(room.width() / metrics.horizontalAdvance(text), room.height() / metrics.height());
    int pixels = std::max(1, static_cast<int>(std::floor(probe.pixelSize() * scale)));
    for (probe.setPixelSize(pixels); pixels > 1 && !fits(probe); probe.setPixelSize(--pixels)) {
    }
    return pixels;
}

QFont TextView::fittedFont(const QSizeF& needed, const QSizeF& available) const {
    double scale = 1;
    if (needed.width() > available.width())
        scale = available.width() / needed.width();
    if (needed.height() > available.height())
        scale = std::min(scale, available.height() / needed.height());
    scale = std::max(scale, m_minimumFitScale);
    if (scale >= 1)
        return m_font;
    QFont fitted = m_font;
    fitted.setPixelSize(std::max(1, static_cast<int>(std::floor(m_font.pixelSize() * scale))));
    return fitted;
}

void TextView::paintEvent(QPaintEvent*) {
    if (m_shownText.isEmpty())
        return;
    const QRectF area = textArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QPainter painter(this);
    painter.setPen(QColor::fromRgba(m_color));
    const Qt::Alignment alignment = toQt(m_hAlign, m_vAlign);
    if (m_wordWrap) {
        painter.setFont(m_font);
        painter.drawText(area, static_cast<int>(alignment | Qt::TextWordWrap), m_shownText);
        return;
    }
    if (m_shownText.contains(QLatin1Char('\n'))) {
        const QSizeF needed =
            QFontMetricsF(m_font).boundingRect(QRectF(0, 0, 1e6, 1e6), 0, m_shownText).size();
        painter.setFont(fittedFont(needed, area.size()));
        painter.drawText(area, static_cast<int>(alignment), m_shownText);
        return;
    }
    paintSingleLine(painter, area, alignment);
}

void TextView::paintSingleLine(QPainter& painter, const QRectF& area,
                               Qt::Alignment alignment) const {
    // Most texts are one short line: measured and drawn by the plain text engine rather than the
    // full text layout that a rectangle-bound drawText builds. Nothing is kept between paints.
    const QFontMetricsF metrics(m_font);
    QSizeF size(metrics.horizontalAdvance(m_shownText), metrics.height());
    const QFont font = fittedFont(size, area.size());
    QString shown = m_shownText;
    double ascent = metrics.ascent();
    if (font != m_font) {
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

    const Qt::Alignment visual = QStyle::visualAlignment(layoutDirection(), alignment);
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

FreeText::FreeText(QWidget* parent) : TextView(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

namespace {

// A screen reader reads a label's text when it asks for it; refreshing costs nothing extra.
class AccessibleLabel : public QAccessibleWidget {
public:
    explicit AccessibleLabel(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<const Label*>(object())->text().replace(QLatin1Char('\r'),
                                                                       QLatin1Char(' '));
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessibleLabelFactory(const QString& className, QObject* object) {
    auto* label = qobject_cast<Label*>(object);
    if (className != QLatin1String("Label") || !label)
        return nullptr;
    return new AccessibleLabel(label);
}

} // namespace

Label::Label(QWidget* parent) : TextView(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setMinimumFitScale(0.5);
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
    return TextView::textArea().adjusted(inset, 0, -inset, 0);
}
