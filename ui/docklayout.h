// Docking of child controls inside their parent: most-top, top, bottom, left, right and client,
// each with margins. Sizes are real numbers; each edge is rounded to whole pixels, so adjacent
// controls never overlap or leave gaps. Controls without docking keep their own geometry.
#pragma once

#include <QLayout>
#include <QMarginsF>
#include <QSizeF>

#include <initializer_list>
#include <utility>
#include <vector>

enum class Dock { None, MostTop, Top, Bottom, Left, Right, Client };

// Places a widget's docked children, or a grid's items, at the widget's present size. A widget
// that is not visible gets no resize event to do it, so pages not shown yet are laid out this way
// and are ready to be shown or grabbed at once.
void layOutContent(QWidget* widget);

class DockLayout : public QLayout {
public:
    explicit DockLayout(QWidget* parent);
    ~DockLayout() override;

    void addDocked(QWidget* widget, Dock dock, QSizeF size, QMarginsF margins);

    // The docked heights (top and bottom docks) or widths (left and right docks) of children;
    // the siblings are re-docked at once, in one pass.
    void setDockedHeights(std::initializer_list<std::pair<QWidget*, double>> heights);
    double dockedHeight(const QWidget* widget) const;

    // The parent's layout, created on first use.
    static DockLayout* of(QWidget* parent);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        Dock dock;
        QSizeF size;
        QMarginsF margins;
    };
    Entry* entryOf(const QWidget* widget);
    const Entry* entryOf(const QWidget* widget) const;

    std::vector<Entry> m_entries;
    // What the last pass placed from: the rectangle, each control shown or not and its limit.
    std::pair<QRect, std::vector<std::pair<bool, QSize>>> m_placed;
};
