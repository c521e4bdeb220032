// Pages under a row of tab headers that share the full width. Every page is laid out at once
// whether shown or not, so page geometry never waits for the page to be shown.
#pragma once

#include "ui/tagged.h"

#include <QTabBar>
#include <QWidget>

#include <vector>

class TabPage : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit TabPage(QWidget* parent = nullptr) : QWidget(parent) {}
};

class TabControl : public QWidget, public Tagged {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    static constexpr int HeaderHeight = 49;

    void addPage(TabPage* page, const QString& header);
    TabPage* activePage() const;
    int activeIndex() const { return m_bar->currentIndex(); }
    // Making the active page active again changes nothing and reports nothing.
    void setActivePage(TabPage* page);
    QTabBar* tabBar() const { return m_bar; }
    QRect pageRect() const;

signals:
    void activePageChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showActive();

    QTabBar* m_bar;
    std::vector<TabPage*> m_pages;
};
