#include "ui/rectangle.h"

#include "ui/gridpanel.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace {

// A rectangle with a text provider reads as a cell named by its provider; the others keep Qt's
// plain widget interface. In a grid that has a selection it is a cell of that table, with its row,
// its column and the selected state.
class AccessibleRectangle : public QAccessibleWidget, public QAccessibleTableCellInterface {
public:
    explicit AccessibleRectangle(Rectangle* rectangle)
        : QAccessibleWidget(rectangle, QAccessible::Cell) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<const Rectangle*>(object())->accessibleText();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const GridPanel* table = grid()) {
            state.selectable = true;
            state.focusable = true;
            state.selected = isSelected();
            state.focused = state.selected && table->receivesNavigationKeys();
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && grid())
            return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    bool isSelected() const override {
        const GridPanel* table = grid();
        return table && table->selectedItem() >= 0 && table->selectedItem() == index();
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        const GridPanel* table = grid();
        return table && table->columnCount() > 0 ? index() % table->columnCount() : -1;
    }
    int rowIndex() const override {
        const GridPanel* table = grid();
        return table && table->columnCount() > 0 ? index() / table->columnCount() : -1;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        GridPanel* table = grid();
        return table ? QAccessible::queryAccessibleInterface(table) : nullptr;
    }

private:
    GridPanel* grid() const {
        auto* grid = qobject_cast<GridPanel*>(widget()->parentWidget());
        return grid && grid->hasSelection() ? grid : nullptr;
    }
    int index() const {
        const GridPanel* table = grid();
        return table ? table->indexOf(widget()) : -1;
    }
};

QAccessibleInterface* accessibleRectangleFactory(const QString& className, QObject* object) {
    auto* rectangle = qobject_cast<Rectangle*>(object);
    if (className != QLatin1String("Rectangle") || !rectangle || !rectangle->hasAccessibleText())
        return nullptr;
    return new AccessibleRectangle(rectangle);
}

// The rectangle grown or shrunk to the nearest whole device pixels. At a fractional scale a
// logical edge can fall inside a device pixel, and a thin border there covered one pixel in one
// cell and two in the next. Neighbours round their shared edge alike, so they still tile. At a
// whole scale nothing moves.
QRectF onDevicePixels(const QPainter& painter, const QRect& logical) {
    const QTransform toDevice = painter.deviceTransform();
    if (toDevice.type() > QTransform::TxScale)
        return logical; // rotated or sheared: there are no pixel edges to meet
    const QRectF device = toDevice.mapRect(QRectF(logical));
    const QRectF snapped(QPointF(std::round(device.left()), std::round(device.top())),
                         QPointF(std::round(device.right()), std::round(device.bottom())));
    return toDevice.inverted().mapRect(snapped);
}

} // namespace

Rectangle::Rectangle(QWidget* parent) : QWidget(parent) {}

void Rectangle::setFill(TAlphaColor color) {
    if (color == m_fill)
        return;
    m_fill = color;
    update();
}

void Rectangle::setStroke(TAlphaColor color) {
    if (color == m_stroke)
        return;
    m_stroke = color;
    update();
}

void Rectangle::setStrokeThickness(double thickness) {
    if (thickness == m_strokeThickness)
        return;
    m_strokeThickness = thickness;
    update();
}

void Rectangle::setAccessibleTextProvider(std::function<QString()> provider) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleRectangleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    m_accessibleText = std::move(provider);
}

void Rectangle::setHitTest(bool enabled) {
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void Rectangle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF bounds = onDevicePixels(painter, rect());
    painter.fillRect(bounds, QColor::fromRgba(m_fill));
    if (m_strokeThickness > 0) {
        painter.setRenderHint(QPainter::Antialiasing, m_strokeThickness < 1);
        const double half = m_strokeThickness / 2;
        painter.setPen(QPen(QColor::fromRgba(m_stroke), m_strokeThickness));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bounds.adjusted(half, half, -half, -half));
    }
}

bool Rectangle::event(QEvent* event) {
    // The tooltip says what a screen reader hears, composed as late.
    if (event->type() == QEvent::ToolTip && m_accessibleText) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), m_accessibleText(), this, rect());
        return true;
    }
    return QWidget::event(event);
}

void Rectangle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
}

void Rectangle::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked(this);
}

void Rectangle::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press of a double click is also the press of a click: its release selects the day.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(this);
}
