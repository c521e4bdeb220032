#include "ui/docklayout.h"

#include "ui/gridpanel.h"

#include <QWidget>

#include <cmath>

namespace {

QRect roundedEdges(const QRectF& r) {
    const int left = static_cast<int>(std::lround(r.left()));
    const int top = static_cast<int>(std::lround(r.top()));
    const int right = static_cast<int>(std::lround(r.right()));
    const int bottom = static_cast<int>(std::lround(r.bottom()));
    return QRect(QPoint(left, top), QSize(std::max(0, right - left), std::max(0, bottom - top)));
}

QRectF inside(const QRectF& slot, const QMarginsF& m) {
    QRectF r = slot.marginsRemoved(m);
    r.setWidth(std::max(0.0, r.width()));
    r.setHeight(std::max(0.0, r.height()));
    return r;
}

// QWidgetItem works out a control's size hint on every pass, a whole text layout for a label,
// though the hint limits only a control whose size policy cannot grow.
class DockedItem : public QWidgetItem {
public:
    using QWidgetItem::QWidgetItem;
    QSize maximumSize() const override {
        const QSizePolicy policy = widget()->sizePolicy();
        if (isEmpty() || !(policy.horizontalPolicy() & QSizePolicy::GrowFlag) ||
            !(policy.verticalPolicy() & QSizePolicy::GrowFlag))
            return QWidgetItem::maximumSize();
        return widget()->maximumSize();
    }
};

} // namespace

void layOutContent(QWidget* widget) {
    if (QLayout* inner = widget->layout())
        inner->setGeometry(QRect(QPoint(0, 0), widget->size()));
    if (auto* grid = qobject_cast<GridPanel*>(widget))
        grid->arrange();
}

DockLayout::DockLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    setSizeConstraint(QLayout::SetNoConstraint);
}

DockLayout::~DockLayout() {
    for (Entry& entry : m_entries)
        delete entry.item;
}

DockLayout* DockLayout::of(QWidget* parent) {
    if (auto* existing = dynamic_cast<DockLayout*>(parent->layout()))
        return existing;
    return new DockLayout(parent);
}

void DockLayout::addDocked(QWidget* widget, Dock dock, QSizeF size, QMarginsF margins) {
    addChildWidget(widget);
    m_entries.push_back({new DockedItem(widget), dock, size, margins});
    invalidate();
}

DockLayout::Entry* DockLayout::entryOf(const QWidget* widget) {
    for (Entry& entry : m_entries)
        if (entry.item->widget() == widget)
            return &entry;
    return nullptr;
}

const DockLayout::Entry* DockLayout::entryOf(const QWidget* widget) const {
    return const_cast<DockLayout*>(this)->entryOf(widget);
}

void DockLayout::setDockedHeights(std::initializer_list<std::pair<QWidget*, double>> heights) {
    for (const auto& [widget, height] : heights) {
        Entry* entry = entryOf(widget);
        if (!entry)
            continue;
        if (entry->dock == Dock::Left || entry->dock == Dock::Right)
            entry->size.setWidth(height);
        else
            entry->size.setHeight(height);
    }
    // Re-dock now, as the resize handler reads the new geometry right away.
    m_placed = {};
    if (parentWidget())
        setGeometry(parentWidget()->rect());
}

double DockLayout::dockedHeight(const QWidget* widget) const {
    const Entry* entry = entryOf(widget);
    if (!entry)
        return 0.0;
    return entry->dock == Dock::Left || entry->dock == Dock::Right ? entry->size.width()
                                                                   : entry->size.height();
}

void DockLayout::addItem(QLayoutItem* item) {
    m_entries.push_back({item, Dock::Client, QSizeF(), QMarginsF()});
}

QLayoutItem* DockLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? m_entries[static_cast<size_t>(index)].item : nullptr;
}

QLayoutItem* DockLayout::takeAt(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = m_entries[static_cast<size_t>(index)].item;
    m_entries.erase(m_entries.begin() + index);
    return item;
}

int DockLayout::count() const {
    return static_cast<int>(m_entries.size());
}

// The window has no minimum size and never grows to fit its content.
QSize DockLayout::sizeHint() const {
    return QSize(0, 0);
}
QSize DockLayout::minimumSize() const {
    return QSize(0, 0);
}

void DockLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    QRectF free(rect);
    // Items that are not widgets (spacers) count as shown.
    auto visible = [](const Entry& entry) {
        const QWidget* widget = entry.item->widget();
        return !widget || !widget->isHidden();
    };
    // Showing the window repeats every resize made while it was hidden: a pass from what the
    // last one placed the controls from moves none of them. What is docked inside the controls
    // not shown is still laid out, as it may have changed.
    decltype(m_placed) placement{rect, {}};
    for (const Entry& entry : m_entries)
        placement.second.emplace_back(visible(entry), entry.item->maximumSize());
    const bool moves = placement != m_placed;
    m_placed = std::move(placement);
    auto place = [moves](Entry& entry, const QRectF& slot) {
        if (moves)
            entry.item->setGeometry(roundedEdges(inside(slot, entry.margins)));
        if (QWidget* widget = entry.item->widget(); widget && !widget->isVisible())
            layOutContent(widget);
    };
    auto slotHeight = [](const Entry& e) {
        return e.size.height() + e.margins.top() + e.margins.bottom();
    };
    auto slotWidth = [](const Entry& e) {
        return e.size.width() + e.margins.left() + e.margins.right();
    };

    for (Entry& entry : m_entries) {
        if (entry.dock != Dock::MostTop || !visible(entry))
            continue;
        const double h = slotHeight(entry);
        place(entry, QRectF(free.left(), free.top(), free.width(), h));
        free.setTop(free.top() + h);
    }
    for (Entry& entry : m_entries) {
        if (!visible(entry))
            continue;
        switch (entry.dock) {
        case Dock::Top: {
            const double h = slotHeight(entry);
            place(entry, QRectF(free.left(), free.top(), free.width(), h));
            free.setTop(free.top() + h);
            break;
        }
        case Dock::Bottom: {
            const double h = slotHeight(entry);
            place(entry, QRectF(free.left(), free.bottom() - h, free.width(), h));
            free.setBottom(free.bottom() - h);
            break;
        }
        case Dock::Left: {
            const double w = slotWidth(entry);
            place(entry, QRectF(free.left(), free.top(), w, free.height()));
            free.setLeft(free.left() + w);
            break;
        }
        case Dock::Right: {
            const double w = slotWidth(entry);
            place(entry, QRectF(free.right() - w, free.top(), w, free.height()));
            free.setRight(free.right() - w);
            break;
        }
        default:
            break;
        }
    }
    free.setWidth(std::max(0.0, free.width()));
    free.setHeight(std::max(0.0, free.height()));
    for (Entry& entry : m_entries)
        if (entry.dock == Dock::Client && visible(entry))
            place(entry, free);
}
