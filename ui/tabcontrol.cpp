#include "ui/tabcontrol.h"

#include "ui/docklayout.h"

#include <cmath>

namespace {

// Headers split the bar's width, each boundary rounded, so they fill it exactly.
class SharedWidthTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        const double share = static_cast<double>(width()) / std::max(1, count());
        const auto left = std::lround(index * share);
        const auto right = std::lround((index + 1) * share);
        return QSize(static_cast<int>(right - left), TabControl::HeaderHeight);
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

} // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_bar(new SharedWidthTabBar(this)) {
    m_bar->setObjectName(QStringLiteral("tabCtrlHeaders"));
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(false);
    m_bar->setElideMode(Qt::ElideRight);
    connect(m_bar, &QTabBar::currentChanged, this, [this] {
        showActive();
        emit activePageChanged();
    });
}

void TabControl::addPage(TabPage* page, const QString& header) {
    const QSignalBlocker quiet(m_bar);
    m_pages.push_back(page);
    m_bar->addTab(header);
    page->setGeometry(pageRect());
    showActive();
}

TabPage* TabControl::activePage() const {
    const int index = m_bar->currentIndex();
    return index >= 0 && index < static_cast<int>(m_pages.size())
               ? m_pages[static_cast<size_t>(index)]
               : nullptr;
}

void TabControl::setActivePage(TabPage* page) {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page)
            m_bar->setCurrentIndex(static_cast<int>(i));
}

QRect TabControl::pageRect() const {
    return QRect(0, HeaderHeight, width(), std::max(0, height() - HeaderHeight));
}

void TabControl::showActive() {
    TabPage* active = activePage();
    // A page that is hidden while it holds the keyboard focus would make Qt pass the focus to the
    // next control of the focus chain, on whatever page that is. It rests here instead, until the
    // owner of the pages puts it where it belongs.
    const QWidget* focus = window()->focusWidget();
    for (TabPage* page : m_pages)
        if (page != active && focus && page->isAncestorOf(focus))
            setFocus(Qt::OtherFocusReason);
    for (TabPage* page : m_pages)
        page->setVisible(page == active);
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), HeaderHeight);
    for (TabPage* page : m_pages) {
        page->setGeometry(pageRect());
        if (!page->isVisible())
            layOutContent(page);
    }
}
