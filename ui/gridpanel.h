// A grid layout: children placed left to right in cells of ItemWidth x ItemHeight, a new row
// starting when the next cell would pass the right edge. Item sizes are real numbers; each cell
// boundary is rounded, not each width, so rows and columns tile exactly.
#pragma once

#include "ui/tagged.h"

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

signals:
    void longPressed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    double m_itemWidth = 50;
    double m_itemHeight = 50;
};
