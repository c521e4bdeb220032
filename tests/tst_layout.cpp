// The Calendar page follows the window size: band heights, grid items and the eight font sizes.
#include "windowfixture.h"

#include "app/mainform.h"
#include "core/clock.h"
#include "state/proportions.h"
#include "ui/docklayout.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Window : WindowFixture {
    TMainForm& operator*() { return *form; }
    TMainForm* operator->() { return form.get(); }
};

bool near(double actual, double expected, double tolerance = 0.001) {
    return std::abs(actual - expected) <= tolerance;
}

#define QCOMPARE_NEAR(actual, expected)                                                            \
    QVERIFY2(near((actual), (expected)), qPrintable(QStringLiteral("%1 is %2, expected %3")        \
                                                        .arg(QLatin1String(#actual))               \
                                                        .arg(actual, 0, 'f', 4)                    \
                                                        .arg(expected, 0, 'f', 4)))

// Page height below the tab headers, which the calendar area shares with the four bands.
double pageHeight(const TMainForm& form) {
    return form.height() - TabControl::HeaderHeight;
}

// The layout follows the outer height, frame included; the offscreen platform adds a frame once
// the window is shown.
void resizeOuter(TMainForm& form, int width, int height) {
    const QSize frame = form.frameGeometry().size() - form.size();
    form.resize(width - frame.width(), height - frame.height());
    QCOMPARE(form.frameGeometry().size(), QSize(width, height));
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setTodayProvider({}); }

    void startSize();
    void doublingHeight();
    void widthOnly();
    void otherTitleBarsKeepTheirHeight_data();
    void otherTitleBarsKeepTheirHeight();
    void resizeKeepsTheMonth();
    void windowTooLowForTheGrid_data();
    void windowTooLowForTheGrid();
    void cellsTileTheGrid_data();
    void cellsTileTheGrid();
    void fontSizeRules_data();
    void fontSizeRules();
    void proportionsWithoutAWindow_data();
    void proportionsWithoutAWindow();
};

void LayoutTest::startSize() {
    Window form;
    resizeOuter(*form, 350, 640);

    DockLayout* page = DockLayout::of(form->tabCalendar);
    QCOMPARE_NEAR(page->dockedHeight(form->tbCalendar), 40.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loMonthName), 64.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loDaysOfWeek), 40.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loFooter), 53.333);
    QCOMPARE(form->tbCalendar->height(), 40);
    QCOMPARE(form->loMonthName->height(), 64);
    QCOMPARE(form->loDaysOfWeek->height(), 40);
    QCOMPARE(form->loFooter->height(), 53); // 537.667 ... 591, edges rounded

    const FontSizes& fonts = form->state().Fonts;
    QCOMPARE_NEAR(fonts.title, 12.8);
    QCOMPARE_NEAR(fonts.month, 30.72);
    QCOMPARE_NEAR(fonts.dow, 12.768);
    QCOMPARE_NEAR(fonts.status, 13.333);

    // The page below the tab headers less the four bands (591 - 197.333 = 393.667 without a
    // frame) holds six rows of days.
    const double dayItem = (pageHeight(*form) - 197.333 - 0.1) / 6;
    QCOMPARE_NEAR(form->gloDOW->itemHeight(), 39.9);
    QCOMPARE_NEAR(form->gloCal->itemHeight(), dayItem);
    QCOMPARE_NEAR(form->gloCal->itemWidth(), (form->width() - 0.1) / 7);
    QCOMPARE_NEAR(form->gloDOW->itemWidth(), (form->width() - 0.1) / 7);
    QCOMPARE_NEAR(fonts.day, dayItem * 0.48);
    QCOMPARE_NEAR(fonts.dayCorner, dayItem * 0.42);
    QCOMPARE_NEAR(fonts.subLabel, dayItem * 0.25);
    QCOMPARE_NEAR(fonts.subLabelSmall, dayItem * 0.2);

    // The painters applied them.
    QCOMPARE_NEAR(form->lblToolbar1->fontSize(), 12.8);
    QCOMPARE_NEAR(form->lblMonthName->fontSize(), 30.72);
    QCOMPARE_NEAR(form->lblDOW[0]->fontSize(), 12.768);
    QCOMPARE_NEAR(form->lblStatus->fontSize(), 13.333);
    QCOMPARE_NEAR(form->gT[0]->fontSize(), dayItem * 0.48);
}

void LayoutTest::doublingHeight() {
    Window form;
    resizeOuter(*form, 350, 640);
    const FontSizes before = form->state().Fonts;
    resizeOuter(*form, 350, 1280);

    DockLayout* page = DockLayout::of(form->tabCalendar);
    QCOMPARE_NEAR(page->dockedHeight(form->tbCalendar), 80.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loMonthName), 128.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loDaysOfWeek), 80.0);
    QCOMPARE_NEAR(page->dockedHeight(form->loFooter), 106.667);

    const FontSizes& after = form->state().Fonts;
    QCOMPARE_NEAR(after.title, 2 * before.title);
    QCOMPARE_NEAR(after.month, 2 * before.month);
    QCOMPARE_NEAR(after.status, 2 * before.status);
    // The weekday and day fonts follow their item heights, which do not simply double.
    QCOMPARE_NEAR(after.dow, (80 - 0.1) * 0.32);
    QVERIFY(!near(after.dow, 2 * before.dow));
    const double dayItem = (pageHeight(*form) - 394.667 - 0.1) / 6;
    QCOMPARE_NEAR(form->gloCal->itemHeight(), dayItem);
    QCOMPARE_NEAR(after.day, dayItem * 0.48);
    QCOMPARE_NEAR(after.subLabelSmall, dayItem * 0.2);
    QVERIFY(!near(after.day, 2 * before.day));
}

void LayoutTest::widthOnly() {
    Window form;
    const FontSizes before = form->state().Fonts;
    const double dayItemHeight = form->gloCal->itemHeight();
    resizeOuter(*form, 700, 640);

    const double width = form->width();
    QCOMPARE_NEAR(form->gloCal->itemWidth(), (width - 0.1) / 7);
    QCOMPARE_NEAR(form->gloDOW->itemWidth(), (width - 0.1) / 7);
    QCOMPARE_NEAR(form->gloCal->itemHeight(), dayItemHeight);
    const FontSizes& after = form->state().Fonts;
    QCOMPARE(after.title, before.title);
    QCOMPARE(after.month, before.month);
    QCOMPARE(after.dow, before.dow);
    QCOMPARE(after.day, before.day);
    QCOMPARE(after.dayCorner, before.dayCorner);
    QCOMPARE(after.status, before.status);
    QCOMPARE(after.subLabel, before.subLabel);
    QCOMPARE(after.subLabelSmall, before.subLabelSmall);
}

void LayoutTest::otherTitleBarsKeepTheirHeight_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("start size") << QSize(350, 640);
    QTest::newRow("short") << QSize(350, 300);
    QTest::newRow("tall") << QSize(350, 1200);
    QTest::newRow("wide") << QSize(900, 640);
}

void LayoutTest::otherTitleBarsKeepTheirHeight() {
    QFETCH(QSize, size);
    Window form;
    form->resize(size);
    const std::pair<const char*, ToolBar*> pages[] = {
        {"tabSettings", form->tbSettings}, {"tabHelp", form->tbHelp}, {"tabAbout", form->tbAbout}};
    for (const auto& [page, titleBar] : pages) {
        form->tabCtrl->setActivePage(form->findChild<TabPage*>(QLatin1String(page)));
        QCOMPARE(titleBar->height(), 48);
        QCOMPARE(titleBar->width(), form->width());
    }
    // Their titles still take the scaled title font.
    const double title = std::clamp<double>(form->state().Fonts.title, 1, 512);
    for (Label* label : {form->lblToolbar2, form->lblToolbar3, form->lblToolbar4})
        QCOMPARE_NEAR(label->fontSize(), title);
}

void LayoutTest::resizeKeepsTheMonth() {
    Window form;
    QTest::keyClick(form.form.get(), Qt::Key_PageDown);
    QTest::keyClick(form.form.get(), Qt::Key_Right);
    const ProgramState before = form->state();
    QCOMPARE(before.SelectedDate, serialFromYmd(2027, 1, 11));

    for (const QSize size : {QSize(350, 1200), QSize(500, 300), QSize(350, 640)}) {
        form->resize(size);
        QCOMPARE(form->state().SelectedDate, before.SelectedDate);
        QCOMPARE(form->state().AnchorDate, before.AnchorDate);
        QVERIFY(form->state().GridDates == before.GridDates);
    }
}

void LayoutTest::windowTooLowForTheGrid_data() {
    QTest::addColumn<QSize>("size");
    // The bands take 0.308 of the height and the tab headers 49: below about 71 nothing is left.
    QTest::newRow("350 x 150, little room") << QSize(350, 150);
    QTest::newRow("350 x 70, no room") << QSize(350, 70);
    QTest::newRow("350 x 30, below the headers") << QSize(350, 30);
    QTest::newRow("20 x 20") << QSize(20, 20);
}

void LayoutTest::windowTooLowForTheGrid() {
    QFETCH(QSize, size);
    Window form;
    form->swDebitDays->setChecked(true);
    form->swPayPeriods->setChecked(true);
    form->resize(size);
    QCOMPARE(form->size(), size);

    const QImage picture = form->grab().toImage(); // paints every control once
    QVERIFY(!picture.isNull());
    const FontSizes& fonts = form->state().Fonts;
    for (int k = 0; k < 40; ++k) {
        const auto i = static_cast<size_t>(k);
        QCOMPARE(form->gT[i]->fontSize(), std::clamp<double>(fonts.dayCorner, 1, 512));
        QCOMPARE(form->gX[i]->fontSize(), std::clamp<double>(fonts.subLabelSmall, 1, 512));
    }
    if (size.height() <= 70) {
        QVERIFY(form->gloCal->itemHeight() <= 0);
        QCOMPARE(form->gT[0]->fontSize(), 1.0);
        QCOMPARE(form->gX[0]->fontSize(), 1.0);
        QCOMPARE(form->gT[40]->fontSize(), 1.0);
    }
}

void LayoutTest::cellsTileTheGrid_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("start size") << QSize(350, 640);
    QTest::newRow("odd size") << QSize(377, 611);
    QTest::newRow("large") << QSize(1001, 1283);
    QTest::newRow("short") << QSize(350, 300);
}

void LayoutTest::cellsTileTheGrid() {
    QFETCH(QSize, size);
    Window form;
    form->resize(size);
    const double w = form->gloCal->itemWidth();
    const double h = form->gloCal->itemHeight();
    for (int k = 0; k < GridDayCount; ++k) {
        const int column = k % 7;
        const int row = k / 7;
        const QRect cell = form->gR[static_cast<size_t>(k)]->geometry();
        const QString where = QStringLiteral("cell %1").arg(k);
        // Each boundary is rounded once, so neighbours share it exactly.
        QVERIFY2(cell.left() == std::lround(column * w), qPrintable(where));
        QVERIFY2(cell.left() + cell.width() == std::lround((column + 1) * w), qPrintable(where));
        QVERIFY2(cell.top() == std::lround(row * h), qPrintable(where));
        QVERIFY2(cell.top() + cell.height() == std::lround((row + 1) * h), qPrintable(where));
    }
    // Seven columns and six rows, all inside the grid.
    const QRect last = form->gR[41]->geometry();
    QVERIFY(last.right() < form->gloCal->width());
    QVERIFY(last.bottom() < form->gloCal->height());
    QCOMPARE(form->gR[6]->geometry().top(), 0);
    QVERIFY(form->gR[7]->geometry().left() == 0);
}

void LayoutTest::fontSizeRules_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("applied");
    QTest::newRow("zero shows as 1") << 12.0 << 0.0 << 1.0;
    QTest::newRow("negative shows as 1") << 12.0 << -3.5 << 1.0;
    QTest::newRow("above 512") << 12.0 << 900.0 << 512.0;
    QTest::newRow("fraction kept") << 12.0 << 12.768 << 12.768;
    QTest::newRow("change below 0.01 skipped") << 20.0 << 20.006 << 20.0;
    QTest::newRow("change below 0.01 downward skipped") << 20.0 << 19.995 << 20.0;
    QTest::newRow("change of 0.02 applied") << 20.0 << 20.02 << 20.02;
    QTest::newRow("clamped size equal to current") << 1.0 << 0.995 << 1.0;
}

void LayoutTest::fontSizeRules() {
    QFETCH(double, start);
    QFETCH(double, requested);
    QFETCH(double, applied);
    FreeText text;
    text.setFontSize(start);
    QCOMPARE(text.fontSize(), start);
    text.setFontSize(requested);
    QCOMPARE(text.fontSize(), applied);
}

void LayoutTest::proportionsWithoutAWindow_data() {
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QList<double>>("bands");     // title, month, weekdays, footer
    QTest::addColumn<QList<double>>("items");     // width, weekday height, day height
    QTest::addColumn<QList<double>>("fontSizes"); // title, month, dow, day, corner, sub, small,
                                                  // status
    QTest::newRow("start size") << 640 << QSize(350, 542) << QList<double>{40, 64, 40, 53.3333}
                                << QList<double>{49.9857, 39.9, 57.4278}
                                << QList<double>{12.8,    30.72,   12.768,  27.5653,
                                                 24.1197, 14.3569, 11.4856, 13.3333};
    QTest::newRow("twice the size")
        << 1280 << QSize(700, 1182) << QList<double>{80, 128, 80, 106.6667}
        << QList<double>{99.9857, 79.9, 131.2056}
        << QList<double>{25.6, 61.44, 25.568, 62.9787, 55.1063, 32.8014, 26.2411, 26.6667};
    // The bands take more than the page: the day items go below zero, the bands keep their share.
    QTest::newRow("too low for the grid")
        << 70 << QSize(350, 16) << QList<double>{4.375, 7, 4.375, 5.8333}
        << QList<double>{49.9857, 4.275, -0.9472}
        << QList<double>{1.4, 3.36, 1.368, -0.4547, -0.3978, -0.2368, -0.1894, 1.4583};
    // Before start-up the window reports an empty size.
    QTest::newRow("empty") << 0 << QSize(0, 0) << QList<double>{0, 0, 0, 0}
                           << QList<double>{-0.0143, -0.1, -0.0167}
                           << QList<double>{0, 0, -0.032, -0.008, -0.007, -0.0042, -0.0033, 0};
}

void LayoutTest::proportionsWithoutAWindow() {
    QFETCH(int, outerHeight);
    QFETCH(QSize, page);
    QFETCH(QList<double>, bands);
    QFETCH(QList<double>, items);
    QFETCH(QList<double>, fontSizes);
    const CalendarProportions fit = CalendarProportionsFor(outerHeight, page);
    QCOMPARE_NEAR(fit.bands.title, bands[0]);
    QCOMPARE_NEAR(fit.bands.month, bands[1]);
    QCOMPARE_NEAR(fit.bands.weekdays, bands[2]);
    QCOMPARE_NEAR(fit.bands.footer, bands[3]);
    QCOMPARE_NEAR(fit.itemWidth, items[0]);
    QCOMPARE_NEAR(fit.items.weekdays, items[1]);
    QCOMPARE_NEAR(fit.items.days, items[2]);
    QCOMPARE_NEAR(fit.fonts.title, fontSizes[0]);
    QCOMPARE_NEAR(fit.fonts.month, fontSizes[1]);
    QCOMPARE_NEAR(fit.fonts.dow, fontSizes[2]);
    QCOMPARE_NEAR(fit.fonts.day, fontSizes[3]);
    QCOMPARE_NEAR(fit.fonts.dayCorner, fontSizes[4]);
    QCOMPARE_NEAR(fit.fonts.subLabel, fontSizes[5]);
    QCOMPARE_NEAR(fit.fonts.subLabelSmall, fontSizes[6]);
    QCOMPARE_NEAR(fit.fonts.status, fontSizes[7]);
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
