// Pages under a row of tab headers that share the full width. Every page is laid out whether
// shown or not, so page geometry never waits for the page to be shown; the hidden pages are laid
// out first right after the control's first frame.
#pragma once

#include "ui/tagged.h"

#include <QTabWidget>

class TabPage : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit TabPage(QWidget* parent = nullptr) : QWidget(parent) {}
};

class TabControl : public QTabWidget, public Tagged {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    static constexpr int HeaderHeight = 49;

    void addPage(TabPage* page, const QString& header);
    TabPage* activePage() const;
    int activeIndex() const { return currentIndex(); }
    // Making the active page active again changes nothing and reports nothing.
    void setActivePage(TabPage* page);
    QRect pageRect() const;

signals:
    void activePageChanged();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void parkFocus(int activeIndex);
    void placeParts();
    void layOutHiddenPages();

    bool m_painted = false;
};
