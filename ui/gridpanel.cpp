#include "ui/gridpanel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGestureEvent>
#include <QTapAndHoldGesture>

#include <cmath>

namespace {

// A grid with a selection is a table whose cells are its items, row by row; the others keep
// Qt's plain widget interface. Decided when asked, since Qt keeps an interface once made.
class AccessibleGridPanel : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleGridPanel(GridPanel* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    QAccessible::Role role() const override {
        return grid()->hasSelection() ? QAccessible::Table : QAccessible::Grouping;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface && grid()->hasSelection())
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }

    QAccessibleInterface* cellAt(int row, int column) const override {
        const int columns = columnCount();
        if (row < 0 || column < 0 || column >= columns)
            return nullptr;
        QWidget* cell = grid()->item(row * columns + column);
        return cell ? QAccessible::queryAccessibleInterface(cell) : nullptr;
    }

    int selectedCellCount() const override { return selectedCell() ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        if (QAccessibleInterface* cell = selectedCell())
            return {cell};
        return {};
    }

    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->columnCount(); }
    int rowCount() const override {
        const int columns = columnCount();
        return columns > 0 ? (grid()->itemCount() + columns - 1) / columns : 0;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The selection follows the program's state; a reader cannot change it through the table.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    GridPanel* grid() const { return static_cast<GridPanel*>(object()); }

    QAccessibleInterface* selectedCell() const {
        QWidget* cell = grid()->item(grid()->selectedItem());
        return cell ? QAccessible::queryAccessibleInterface(cell) : nullptr;
    }
};

QAccessibleInterface* accessibleGridFactory(const QString& className, QObject* object) {
    auto* grid = qobject_cast<GridPanel*>(object);
    if (className != QLatin1String("GridPanel") || !grid)
        return nullptr;
    return new AccessibleGridPanel(grid);
}

void announce(QWidget* item, QAccessible::Event type) {
    QAccessibleEvent event(item, type);
    QAccessible::updateAccessibility(&event);
}

QString readerName(QWidget* item) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

GridPanel::GridPanel(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleGridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void GridPanel::setItemSize(double width, double height) {
    // Sizes are kept as single-precision reals, as the layout computes them.
    m_itemWidth = static_cast<float>(width);
    m_itemHeight = static_cast<float>(height);
    arrange();
}

void GridPanel::arrange() {
    const double width = this->width();
    // Floating-point noise must not push the seventh item of (width - 0.1) / 7 to a new row.
    const double epsilon = 1e-6;
    int column = 0;
    int row = 0;
    m_columns = 0;
    for (QObject* object : children()) {
        auto* item = qobject_cast<QWidget*>(object);
        if (!item || item->isWindow())
            continue;
        if (column > 0 && m_itemWidth > 0 && (column + 1) * m_itemWidth > width + epsilon) {
            column = 0;
            ++row;
        }
        const long left = std::lround(column * m_itemWidth);
        const long right = std::lround((column + 1) * m_itemWidth);
        const long top = std::lround(row * m_itemHeight);
        const long bottom = std::lround((row + 1) * m_itemHeight);
        const QRect cell(static_cast<int>(left), static_cast<int>(top),
                         static_cast<int>(std::max(0L, right - left)),
                         static_cast<int>(std::max(0L, bottom - top)));
        // Most passes leave the items where they are, and setting a geometry is not free.
        if (item->geometry() != cell)
            item->setGeometry(cell);
        ++column;
        m_columns = std::max(m_columns, column);
    }
}

int GridPanel::itemCount() const {
    int count = 0;
    for (QObject* object : children()) {
        auto* item = qobject_cast<QWidget*>(object);
        if (item && !item->isWindow())
            ++count;
    }
    return count;
}

QWidget* GridPanel::item(int index) const {
    if (index < 0)
        return nullptr;
    for (QObject* object : children()) {
        auto* item = qobject_cast<QWidget*>(object);
        if (item && !item->isWindow() && index-- == 0)
            return item;
    }
    return nullptr;
}

int GridPanel::indexOf(const QWidget* item) const {
    int index = 0;
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        if (child == item)
            return index;
        ++index;
    }
    return -1;
}

void GridPanel::setSelectedItem(int index) {
    m_hasSelection = true;
    const int previous = m_selected;
    m_selected = item(index) ? index : -1;
    // Composing the item's name costs a little, so only when a reader listens.
    if (QAccessible::isActive())
        announceSelection(previous);
}

void GridPanel::announceSelection(int previous) {
    QWidget* selected = item(m_selected);
    const QString name = selected ? readerName(selected) : QString();
    if (m_selected == previous && name == m_announcedName)
        return;
    m_announcedName = name;
    if (m_selected != previous) {
        if (QWidget* deselected = item(previous))
            announce(deselected, QAccessible::SelectionRemove);
        if (selected)
            announce(selected, QAccessible::Selection);
    } else if (selected) {
        // Same cell, another day: the month changed under it.
        announce(selected, QAccessible::NameChanged);
    }
    announceFocusedItem();
}

void GridPanel::announceFocusedItem() {
    // The reader speaks the object that has the focus; for the keys that move the selection that
    // is the selected item.
    if (QWidget* selected = item(m_selected); selected && receivesNavigationKeys())
        announce(selected, QAccessible::Focus);
}

bool GridPanel::receivesNavigationKeys() const {
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return isActiveWindow();
    return focus == this || focus->isAncestorOf(this);
}

void GridPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void GridPanel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (QAccessible::isActive())
        announceFocusedItem();
}

bool GridPanel::event(QEvent* event) {
    if (event->type() == QEvent::Gesture) {
        auto* gestureEvent = static_cast<QGestureEvent*>(event);
        if (QGesture* hold = gestureEvent->gesture(Qt::TapAndHoldGesture)) {
            gestureEvent->accept(hold);
            if (hold->state() == Qt::GestureFinished)
                emit longPressed();
            return true;
        }
    }
    return QWidget::event(event);
}
