// The control layer on real widgets: docking order and rounding, the grid's wrapping, pages laid
// out while hidden, the picture's size and the date picker's set-up.
#include "pickerclick.h"
#include "ui/docklayout.h"
#include "ui/gridpanel.h"
#include "ui/imageview.h"
#include "ui/tabcontrol.h"

#include <QCalendarWidget>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpacerItem>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <memory>
#include <vector>

namespace {

struct Docked {
    Dock dock;
    double size; // height of top and bottom docks, width of left and right ones
    QMarginsF margins = {};
};

using DockList = QList<Docked>;

// A shown parent of the given size with one child per entry, docked in that order.
struct DockFixture {
    explicit DockFixture(const DockList& docks, QSize size = QSize(378, 564)) {
        parent.resize(size);
        for (const Docked& d : docks) {
            auto* child = new QWidget(&parent);
            const bool sideways = d.dock == Dock::Left || d.dock == Dock::Right;
            const QSizeF design = sideways ? QSizeF(d.size, 0) : QSizeF(0, d.size);
            DockLayout::of(&parent)->addDocked(child, d.dock, design, d.margins);
            children.push_back(child);
        }
        parent.show();
        ready = QTest::qWaitForWindowExposed(&parent);
        DockLayout::of(&parent)->setGeometry(parent.rect());
    }
    QWidget parent;
    std::vector<QWidget*> children;
    bool ready = false;
};

} // namespace

Q_DECLARE_METATYPE(DockList)

class UiTest : public QObject {
    Q_OBJECT

private slots:
    void docksStackAndRound_data();
    void docksStackAndRound();
    void clientDocksOverlap();
    void gridWrapsAtTheWidth_data();
    void gridWrapsAtTheWidth();
    void hiddenPagesAreLaidOut();
    void showingMovesNoPageTwice();
    void hiddenDockedPanelIsLaidOut();
    void hiddenContentFollowsChangesInside();
    void repeatedPassFollowsChanges();
    void gridPlacesItemsAddedSinceItsLastSize();
    void spacerItemIsNoWidget();
    void dockedHeightReadsBack_data();
    void dockedHeightReadsBack();
    void imageKeepsItsNaturalSize();
    void datePickerOpensSundayFirst_data();
    void datePickerOpensSundayFirst();
    void pageKeysReachTheWindow_data();
    void pageKeysReachTheWindow();
    void focusLeavesAHiddenPageForTheControl();
};

void UiTest::docksStackAndRound_data() {
    QTest::addColumn<DockList>("docks");
    QTest::addColumn<QList<QRect>>("expected");
    const QMarginsF none;
    // Most-top docks come first whatever their place in the composition order.
    QTest::newRow("most-top composed after top")
        << DockList{{Dock::Top, 48}, {Dock::MostTop, 30}, {Dock::MostTop, 20}}
        << QList<QRect>{{0, 50, 378, 48}, {0, 0, 378, 30}, {0, 30, 378, 20}};
    // Each edge is rounded, not each height: the bands abut with no gap and no overlap.
    QTest::newRow("fractional heights abut")
        << DockList{{Dock::Top, 48.6}, {Dock::Top, 48.6}, {Dock::Top, 30.3}, {Dock::Bottom, 45.5}}
        << QList<QRect>{{0, 0, 378, 49}, {0, 49, 378, 48}, {0, 97, 378, 31}, {0, 519, 378, 45}};
    QTest::newRow("sides share what the bands leave")
        << DockList{{Dock::Top, 40}, {Dock::Left, 77.4}, {Dock::Right, 94.6}, {Dock::Client, 0}}
        << QList<QRect>{{0, 0, 378, 40}, {0, 40, 77, 524}, {283, 40, 95, 524}, {77, 40, 206, 524}};
    QTest::newRow("margins inside the slot")
        << DockList{{Dock::Top, 40, QMarginsF(4, 4, 0, 2)}, {Dock::Top, 10}}
        << QList<QRect>{{4, 4, 374, 40}, {0, 46, 378, 10}};
    QTest::newRow("bands taller than the parent leave the client empty")
        << DockList{{Dock::Top, 400}, {Dock::Bottom, 300}, {Dock::Client, 0, none}}
        << QList<QRect>{{0, 0, 378, 400}, {0, 264, 378, 300}, {0, 400, 378, 0}};
}

void UiTest::docksStackAndRound() {
    QFETCH(DockList, docks);
    QFETCH(QList<QRect>, expected);
    DockFixture fixture(docks);
    QVERIFY(fixture.ready);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QWidget* child = fixture.children[static_cast<size_t>(i)];
        QVERIFY2(child->geometry() == expected[i],
                 qPrintable(QStringLiteral("child %1 at %2,%3 %4x%5")
                                .arg(i)
                                .arg(child->x())
                                .arg(child->y())
                                .arg(child->width())
                                .arg(child->height())));
    }
}

void UiTest::clientDocksOverlap() {
    // Several client docks fill the same remaining area: a rectangle and the label on it.
    DockFixture fixture({{Dock::Top, 48},
                         {Dock::Client, 0},
                         {Dock::Client, 0, QMarginsF(2, 3, 4, 5)},
                         {Dock::Bottom, 45}});
    QVERIFY(fixture.ready);
    QCOMPARE(fixture.children[1]->geometry(), QRect(0, 48, 378, 471));
    QCOMPARE(fixture.children[2]->geometry(), QRect(2, 51, 372, 463));
}

void UiTest::gridWrapsAtTheWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("itemWidth");
    QTest::addColumn<int>("columns");
    // Seven items of (W - 0.1) / 7 fit a row of W; seven of (W + 0.1) / 7 do not.
    for (int width : {350, 378, 377, 1000, 7}) {
        const QByteArray name = QByteArray::number(width);
        QTest::newRow(name + " wide, (W - 0.1) / 7") << width << (width - 0.1) / 7 << 7;
        QTest::newRow(name + " wide, (W + 0.1) / 7") << width << (width + 0.1) / 7 << 6;
    }
    QTest::newRow("item wider than the grid still takes a row") << 50 << 80.0 << 1;
}

void UiTest::gridWrapsAtTheWidth() {
    QFETCH(int, width);
    QFETCH(double, itemWidth);
    QFETCH(int, columns);
    QWidget window;
    auto* grid = new GridPanel(&window);
    for (int i = 0; i < 42; ++i)
        new QWidget(grid);
    grid->setGeometry(0, 0, width, 300);
    grid->setItemSize(itemWidth, 50);
    QCOMPARE(grid->columnCount(), columns);
    // Cells tile: the next cell of a row starts where the previous one ends.
    for (int i = 0; i < grid->itemCount(); ++i) {
        const QRect cell = grid->item(i)->geometry();
        QCOMPARE(cell.top(), i / columns * 50);
        if (i % columns > 0)
            QCOMPARE(cell.left(), grid->item(i - 1)->geometry().right() + 1);
        else
            QCOMPARE(cell.left(), 0);
    }
}

void UiTest::hiddenPagesAreLaidOut() {
    // Every page is ready to be shown or grabbed before it was ever shown.
    QWidget window;
    auto* tabs = new TabControl(&window);
    auto* first = new TabPage(tabs);
    tabs->addPage(first, QStringLiteral("One"));
    auto* second = new TabPage(tabs);
    tabs->addPage(second, QStringLiteral("Two"));
    auto* band = new QWidget(second);
    DockLayout::of(second)->addDocked(band, Dock::Top, QSizeF(0, 48.4), {});
    auto* grid = new GridPanel(second);
    DockLayout::of(second)->addDocked(grid, Dock::Client, {}, {});
    for (int i = 0; i < 14; ++i)
        new QWidget(grid);
    grid->setItemSize(50, 40);
    tabs->resize(378, 564);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(second->isHidden());
    // Laid out first right after the window's first frame.
    QTRY_COMPARE(band->geometry(), QRect(0, 0, 378, 48));

    for (const QSize size : {QSize(378, 564), QSize(250, 300)}) {
        tabs->resize(size);
        const QRect page(0, TabControl::HeaderHeight, size.width(),
                         size.height() - TabControl::HeaderHeight);
        QCOMPARE(tabs->pageRect(), page);
        QCOMPARE(QRect(second->mapTo(tabs, QPoint(0, 0)), second->size()), page);
        QCOMPARE(band->geometry(), QRect(0, 0, size.width(), 48));
        QCOMPARE(grid->geometry(), QRect(0, 48, size.width(), page.height() - 48));
        QCOMPARE(grid->columnCount(), size.width() / 50);
        QCOMPARE(tabs->tabBar()->geometry(), QRect(0, 0, size.width(), TabControl::HeaderHeight));
    }
}

// Counts the sizes a widget is given by resize events.
class ResizeRecorder : public QObject {
public:
    explicit ResizeRecorder(QWidget* watched) { watched->installEventFilter(this); }
    QList<QSize> sizes;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            sizes.append(static_cast<QResizeEvent*>(event)->size());
        return false;
    }
};

void UiTest::showingMovesNoPageTwice() {
    // QTabWidget frames its pages on every resize and show; the control places them unframed.
    // Both at once moved every page back and forth, and its grid was laid out again each time.
    QWidget window;
    window.resize(378, 564);
    auto* tabs = new TabControl(&window);
    DockLayout::of(&window)->addDocked(tabs, Dock::Client, {}, {});
    auto* page = new TabPage(tabs);
    tabs->addPage(page, QStringLiteral("One"));
    auto* grid = new GridPanel(page);
    DockLayout::of(page)->addDocked(grid, Dock::Client, {}, {});
    for (int i = 0; i < 14; ++i)
        new QWidget(grid);
    grid->setItemSize(50, 40);
    ResizeRecorder pageSizes(page);
    ResizeRecorder gridSizes(grid);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QSize pageSize(378, 564 - TabControl::HeaderHeight);
    QCOMPARE(page->size(), pageSize);
    QCOMPARE(pageSizes.sizes, QList<QSize>{pageSize});
    QCOMPARE(gridSizes.sizes, QList<QSize>{pageSize});
}

void UiTest::hiddenDockedPanelIsLaidOut() {
    // A window composed but not shown yet: its panels get no resize events, yet a change of the
    // docked heights places their own docks and grids at once.
    QWidget window;
    window.resize(200, 300);
    auto* band = new QWidget(&window);
    DockLayout::of(&window)->addDocked(band, Dock::Top, QSizeF(0, 48), {});
    auto* panel = new QWidget(&window);
    DockLayout::of(&window)->addDocked(panel, Dock::Client, {}, {});
    auto* inner = new QWidget(panel);
    DockLayout::of(panel)->addDocked(inner, Dock::Bottom, QSizeF(0, 20), {});
    auto* grid = new GridPanel(panel);
    DockLayout::of(panel)->addDocked(grid, Dock::Client, {}, {});
    for (int i = 0; i < 3; ++i)
        new QWidget(grid);
    grid->setItemSize(100, 10);

    DockLayout::of(&window)->setDockedHeights({{band, 60.4}});
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->geometry(), QRect(0, 60, 200, 240));
    QCOMPARE(inner->geometry(), QRect(0, 220, 200, 20));
    QCOMPARE(grid->geometry(), QRect(0, 0, 200, 220));
    QCOMPARE(grid->columnCount(), 2);
    QCOMPARE(grid->item(2)->geometry(), QRect(0, 10, 100, 10));
}

void UiTest::spacerItemIsNoWidget() {
    // Items added through QLayout's own interface need not be widgets.
    DockFixture fixture({{Dock::Top, 30}});
    QVERIFY(fixture.ready);
    DockLayout* layout = DockLayout::of(&fixture.parent);
    layout->addItem(new QSpacerItem(10, 10));
    auto* footer = new QWidget(&fixture.parent);
    layout->addDocked(footer, Dock::Bottom, QSizeF(0, 20.4), {});
    footer->show();
    layout->setDockedHeights({{fixture.children[0], 40.5}});
    QCOMPARE(fixture.children[0]->geometry(), QRect(0, 0, 378, 41));
    QCOMPARE(footer->geometry(), QRect(0, 544, 378, 20));
}

void UiTest::hiddenContentFollowsChangesInside() {
    // A pass that moves nothing at its own level still reaches into controls not shown: what is
    // docked inside them may have changed, as when a hidden page's button gets a larger font.
    QWidget window;
    window.resize(200, 300);
    auto* panel = new QWidget(&window);
    DockLayout::of(&window)->addDocked(panel, Dock::Client, {}, {});
    auto* button = new QPushButton(QStringLiteral("Save"), panel);
    DockLayout::of(panel)->addDocked(button, Dock::Top, QSizeF(0, 80), {});
    DockLayout::of(&window)->setGeometry(window.rect());
    const int hinted = button->sizeHint().height();
    QCOMPARE(button->height(), hinted);

    QFont larger = button->font();
    larger.setPixelSize(3 * QFontInfo(larger).pixelSize());
    button->setFont(larger);
    QVERIFY(button->sizeHint().height() > hinted);
    DockLayout::of(&window)->setGeometry(window.rect());
    QCOMPARE(button->height(), std::min(80, button->sizeHint().height()));
}

void UiTest::repeatedPassFollowsChanges() {
    // A pass at the size of the last one places nothing anew unless something it placed the
    // controls from changed: a control shown or hidden, or a size hint that limits a control.
    DockFixture fixture({{Dock::Top, 40}, {Dock::Client, 0}});
    QVERIFY(fixture.ready);
    DockLayout* layout = DockLayout::of(&fixture.parent);
    QWidget* band = fixture.children[0];
    QWidget* client = fixture.children[1];
    // A push button cannot grow taller than its size hint: it sits centred in its slot. A
    // label's text is longer than its slot, yet the label fills the slot exactly.
    auto* button = new QPushButton(QStringLiteral("Save"), &fixture.parent);
    layout->addDocked(button, Dock::Bottom, QSizeF(0, 60), {});
    auto* label = new QLabel(QString(200, QLatin1Char('W')), &fixture.parent);
    layout->addDocked(label, Dock::Left, QSizeF(30, 0), {});
    button->show();
    label->show();
    layout->setGeometry(fixture.parent.rect());
    const int hinted = button->sizeHint().height();
    QVERIFY(hinted < 60);
    QCOMPARE(button->geometry(), QRect(0, 504 + (60 - hinted) / 2, 378, hinted));
    QCOMPARE(label->geometry(), QRect(0, 40, 30, 464));

    QFont larger = button->font();
    larger.setPixelSize(3 * QFontInfo(larger).pixelSize());
    button->setFont(larger);
    const int taller = std::min(60, button->sizeHint().height());
    QVERIFY(taller > hinted);
    layout->setGeometry(fixture.parent.rect());
    QCOMPARE(button->geometry(), QRect(0, 504 + (60 - taller) / 2, 378, taller));

    band->hide();
    layout->setGeometry(fixture.parent.rect());
    QCOMPARE(client->geometry(), QRect(30, 0, 348, 504));
    band->show();
    layout->setGeometry(fixture.parent.rect());
    QCOMPARE(client->geometry(), QRect(30, 40, 348, 464));
}

void UiTest::gridPlacesItemsAddedSinceItsLastSize() {
    // A resize that keeps the width still places the items added since the last arrangement.
    QWidget window;
    auto* grid = new GridPanel(&window);
    for (int i = 0; i < 3; ++i)
        new QWidget(grid);
    grid->setGeometry(0, 0, 200, 100);
    grid->setItemSize(100, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* added = new QWidget(grid);
    added->show();
    grid->resize(200, 120);
    QCOMPARE(added->geometry(), QRect(100, 20, 100, 20));
    QCOMPARE(grid->item(2)->geometry(), QRect(0, 20, 100, 20));
}

void UiTest::dockedHeightReadsBack_data() {
    QTest::addColumn<int>("dock");
    QTest::addColumn<QRect>("expected");
    // Left and right docks keep the value as their width.
    QTest::newRow("top") << int(Dock::Top) << QRect(0, 0, 378, 34);
    QTest::newRow("bottom") << int(Dock::Bottom) << QRect(0, 530, 378, 34);
    QTest::newRow("left") << int(Dock::Left) << QRect(0, 0, 34, 564);
    QTest::newRow("right") << int(Dock::Right) << QRect(344, 0, 34, 564);
}

void UiTest::dockedHeightReadsBack() {
    QFETCH(int, dock);
    QFETCH(QRect, expected);
    DockFixture fixture({{Dock(dock), 20}, {Dock::Client, 0}});
    QVERIFY(fixture.ready);
    DockLayout* layout = DockLayout::of(&fixture.parent);
    QCOMPARE(layout->dockedHeight(fixture.children[0]), 20.0);
    layout->setDockedHeights({{fixture.children[0], 33.6}});
    QCOMPARE(layout->dockedHeight(fixture.children[0]), 33.6);
    QCOMPARE(fixture.children[0]->geometry(), expected);
    QCOMPARE(layout->dockedHeight(fixture.children[1]), 0.0);
    QCOMPARE(layout->dockedHeight(&fixture.parent), 0.0);
}

void UiTest::imageKeepsItsNaturalSize() {
    // The picture's size is read once per set of sources, not from the files on every paint.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    auto picture = [&folder](const QString& name, QSize size) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const QString path = folder.filePath(name);
        return image.save(path) ? path : QString();
    };
    const QString small = picture(QStringLiteral("small.png"), QSize(10, 20));
    const QString large = picture(QStringLiteral("large.png"), QSize(20, 40));
    const QString wide = picture(QStringLiteral("wide.png"), QSize(40, 10));
    QVERIFY(!small.isEmpty() && !large.isEmpty() && !wide.isEmpty());

    ImageView view;
    view.resize(100, 100);
    view.setSources({large, small});
    QCOMPARE(view.pictureRect(), QRect(25, 0, 50, 100));
    QVERIFY(QFile::remove(small) && QFile::remove(large));
    QCOMPARE(view.pictureRect(), QRect(25, 0, 50, 100));
    view.setSources({wide});
    QCOMPARE(view.pictureRect(), QRect(0, 37, 100, 25));
}

void UiTest::datePickerOpensSundayFirst_data() {
    QTest::addColumn<bool>("builtThroughQt");
    QTest::newRow("calendar built by the click") << false;
    QTest::newRow("calendar built through QDateEdit") << true;
}

void UiTest::datePickerOpensSundayFirst() {
    // Whoever builds the calendar first, it opens Sunday first and its opening and closing are
    // reported, also in a locale whose week starts on Monday.
    QFETCH(bool, builtThroughQt);
    QWidget window;
    window.resize(300, 100);
    auto* editor = new DateEdit(&window);
    editor->setGeometry(10, 10, 150, 30);
    editor->setLocale(QLocale(QLocale::German, QLocale::Germany));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy opened(editor, &DateEdit::pickerOpened);
    QSignalSpy closed(editor, &DateEdit::pickerClosed);
    if (builtThroughQt) {
        QDateEdit* plain = editor;
        QVERIFY(plain->calendarWidget());
    }
    openPicker(*editor);
    QCalendarWidget* calendar = editor->preparedCalendar();
    QTRY_VERIFY(calendar->window()->isVisible());
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);
    QCOMPARE(opened.count(), 1);
    QTest::keyClick(calendar->window(), Qt::Key_Escape);
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(opened.count(), 1);
}

namespace {

// Two pages with an editor each; the window records the keys that reach it.
struct TwoPages : QWidget {
    TwoPages() {
        resize(300, 300);
        tabs = new TabControl(this);
        tabs->resize(300, 300);
        for (TabPage*& page : pages) {
            page = new TabPage(tabs);
            tabs->addPage(page, QStringLiteral("Page"));
            editors.push_back(new QLineEdit(page));
        }
    }
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
    TabControl* tabs;
    std::array<TabPage*, 2> pages{};
    std::vector<QLineEdit*> editors;
    QList<int> keys;
};

} // namespace

void UiTest::pageKeysReachTheWindow_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    // A tab widget would switch pages on these; here they are the window's.
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+PageDown") << int(Qt::Key_PageDown) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+PageUp") << int(Qt::Key_PageUp) << int(Qt::ControlModifier);
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << int(Qt::NoModifier);
}

void UiTest::pageKeysReachTheWindow() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TwoPages window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* sink = new QWidget(window.pages[0]);
    sink->show();
    sink->setFocusPolicy(Qt::StrongFocus);
    sink->setFocus();
    QTest::keyClick(sink, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window.tabs->activePage(), window.pages[0]);
    QVERIFY(window.keys.contains(key));
}

void UiTest::focusLeavesAHiddenPageForTheControl() {
    // Qt would pass the focus of a hidden page to the next control of the chain, here the other
    // page's editor; it waits on the control instead, for the owner to place it.
    TwoPages window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy changed(window.tabs, &TabControl::activePageChanged);
    window.editors[0]->setFocus();
    window.tabs->setActivePage(window.pages[1]);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(window.focusWidget(), window.tabs);
    QVERIFY(window.focusWidget() != window.tabs->tabBar());
    window.tabs->setActivePage(window.pages[1]);
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(UiTest)
#include "tst_ui.moc"
