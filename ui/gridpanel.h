// A grid layout: children placed left to right in cells of ItemWidth x ItemHeight, a new row
// starting when the next cell would pass the right edge. Item sizes are real numbers; each cell
// boundary is rounded, not each width, so rows and columns tile exactly.
// A grid whose owner reports a selected item reads to screen readers as a table of cells, the
// selected one in the selected state; a change of the selection is announced.
#pragma once

#include "ui/tagged.h"

#include <QString>
#include <QWidget>

class GridPanel : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit GridPanel(QWidget* parent = nullptr);

    double itemWidth() const { return m_itemWidth; }
    double itemHeight() const { return m_itemHeight; }
    void setItemSize(double width, double height);

    // Places the items again; also done on every resize.
    void arrange();

    // The items in placement order, and how many of them the widest row holds.
    int itemCount() const;
    QWidget* item(int index) const; // nullptr outside 0 ... itemCount() - 1
    int indexOf(const QWidget* item) const;
    int columnCount() const { return m_columns; }

    // The selected item, -1 for none. Reporting it, even -1, makes the grid a table of cells for
    // screen readers.
    bool hasSelection() const { return m_hasSelection; }
    int selectedItem() const { return m_selected; }
    void setSelectedItem(int index);

    // Whether the navigation keys typed now reach this grid's window: the grid or one of its
    // ancestors holds the keyboard focus. The selected item then counts as focused.
    bool receivesNavigationKeys() const;

signals:
    void longPressed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    void announceSelection(int previous);
    void announceFocusedItem();

    double m_itemWidth = 50;
    double m_itemHeight = 50;
    int m_columns = 0;
    bool m_hasSelection = false;
    int m_selected = -1;
    QString m_announcedName;
};
