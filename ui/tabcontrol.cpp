#include "ui/tabcontrol.h"

#include "ui/docklayout.h"

#include <QEvent>
#include <QStyleOptionTab>
#include <QTabBar>

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
    // The pages have no frame, so the headers are drawn as a bar of their own, not as the top
    // of a framed tab widget.
    void initStyleOption(QStyleOptionTab* option, int index) const override {
        QTabBar::initStyleOption(option, index);
        option->features &= ~QStyleOptionTab::HasFrame;
    }
};

} // namespace

TabControl::TabControl(QWidget* parent) : QTabWidget(parent) {
    auto* bar = new SharedWidthTabBar(this);
    bar->setObjectName(QStringLiteral("tabCtrlHeaders"));
    bar->setDrawBase(false);
    bar->setExpanding(false);
    // Before the pages switch, so that the focus leaves the outgoing page first.
    connect(bar, &QTabBar::currentChanged, this, &TabControl::parkFocus);
    setTabBar(bar);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
    // The headers take the focus only by Tab or a click, never on behalf of the whole control.
    setFocusProxy(nullptr);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QTabWidget::currentChanged, this, &TabControl::activePageChanged);
}

void TabControl::addPage(TabPage* page, const QString& header) {
    const QSignalBlocker quiet(this);
    addTab(page, header);
    placeParts();
}

TabPage* TabControl::activePage() const {
    return static_cast<TabPage*>(currentWidget());
}

void TabControl::setActivePage(TabPage* page) {
    if (const int index = indexOf(page); index >= 0)
        setCurrentIndex(index);
}

QRect TabControl::pageRect() const {
    return QRect(0, HeaderHeight, width(), std::max(0, height() - HeaderHeight));
}

void TabControl::parkFocus(int activeIndex) {
    // A page that is hidden while it holds the keyboard focus would make Qt pass the focus to the
    // next control of the focus chain, on whatever page that is. It rests here instead, until the
    // owner of the pages puts it where it belongs.
    const QWidget* focus = window()->focusWidget();
    for (int i = 0; i < count(); ++i)
        if (i != activeIndex && focus && widget(i)->isAncestorOf(focus))
            setFocus(Qt::OtherFocusReason);
}

bool TabControl::event(QEvent* event) {
    const bool handled = QTabWidget::event(event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::LayoutRequest:
    case QEvent::StyleChange:
        placeParts();
        break;
    default:
        break;
    }
    return handled;
}

void TabControl::placeParts() {
    // QTabWidget sizes its headers to their text and frames the pages; here the headers span the
    // full width at a fixed height and the pages fill the rest unframed.
    tabBar()->setGeometry(0, 0, width(), HeaderHeight);
    if (count() == 0)
        return;
    widget(0)->parentWidget()->setGeometry(pageRect());
    // The stack lays out its current page only.
    const QRect page(QPoint(0, 0), pageRect().size());
    for (int i = 0; i < count(); ++i) {
        QWidget* content = widget(i);
        content->setGeometry(page);
        if (!content->isVisible())
            layOutContent(content);
    }
}

void TabControl::paintEvent(QPaintEvent*) {
    // The headers and pages paint themselves; no frame around the pages.
}

void TabControl::keyPressEvent(QKeyEvent* event) {
    // Keys a page leaves unhandled go on to the window, not to page switching.
    QWidget::keyPressEvent(event);
}
