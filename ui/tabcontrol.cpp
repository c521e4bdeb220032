#include "ui/tabcontrol.h"

#include "ui/docklayout.h"

#include <QEvent>
#include <QStyleOptionTab>
#include <QTabBar>

#include <cmath>
#include <utility>

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

// QTabWidget places the headers and a framed stack on resize, show, layout and style changes,
// and this control placed them its own way right after: the two disagreed by the frame, so each
// pass moved and resized every page twice. Only the placement here runs.
bool TabControl::event(QEvent* event) {
    if (event->type() != QEvent::LayoutRequest)
        return QTabWidget::event(event);
    const bool handled = QWidget::event(event);
    placeParts();
    return handled;
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeParts();
}

void TabControl::showEvent(QShowEvent* event) {
    // The resize that Qt sends on showing has placed the parts already.
    QWidget::showEvent(event);
}

void TabControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        placeParts();
}

void TabControl::placeParts() {
    // QTabWidget sizes its headers to their text and frames the pages; here the headers span the
    // full width at a fixed height and the pages fill the rest unframed.
    tabBar()->setGeometry(0, 0, width(), HeaderHeight);
    if (count() == 0)
        return;
    widget(0)->parentWidget()->setGeometry(pageRect());
    const QRect page(QPoint(0, 0), pageRect().size());
    for (int i = 0; i < count(); ++i)
        widget(i)->setGeometry(page);
    // The stack lays out its current page only. The others wait for the control's first frame,
    // which needs none of them: measuring their controls loads fonts and would delay it.
    if (m_painted)
        layOutHiddenPages();
}

void TabControl::layOutHiddenPages() {
    for (int i = 0; i < count(); ++i)
        if (QWidget* content = widget(i); !content->isVisible())
            layOutContent(content);
}

void TabControl::paintEvent(QPaintEvent*) {
    // The headers and pages paint themselves; no frame around the pages.
    if (!std::exchange(m_painted, true))
        QMetaObject::invokeMethod(this, &TabControl::layOutHiddenPages, Qt::QueuedConnection);
}

void TabControl::keyPressEvent(QKeyEvent* event) {
    // Keys a page leaves unhandled go on to the window, not to page switching.
    QWidget::keyPressEvent(event);
}
