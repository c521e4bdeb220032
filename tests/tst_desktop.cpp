// The window as a user meets it on a desktop: where the keyboard focus rests after start-up and
// after each way back to the Calendar page, and the day grid as a screen reader reads it.
#include "windowfixture.h"

#include <QAccessible>

namespace {

// Clicks, as a user makes them: a page name clicks its tab header, any other word the control of
// that name, in its middle. Switches must really toggle, or the row would prove nothing.
void clickThrough(TMainForm& form, const QString& clicks) {
    for (const QString& click : clicks.split(' ', Qt::SkipEmptyParts)) {
        QTabBar* headers = form.tabCtrl->tabBar();
        const auto header = [&] {
            for (int i = 0; i < headers->count(); ++i)
                if (headers->tabText(i) == click)
                    return i;
            return -1;
        }();
        if (header >= 0) {
            QTest::mouseClick(headers, Qt::LeftButton, {}, headers->tabRect(header).center());
            QCOMPARE(form.tabCtrl->activeIndex(), header);
            continue;
        }
        auto* control = form.findChild<QWidget*>(click);
        QVERIFY2(control, qPrintable(click));
        auto* toggle = qobject_cast<QAbstractButton*>(control);
        const bool checkedBefore = toggle && toggle->isChecked();
        QTest::mouseClick(control, Qt::LeftButton);
        if (toggle && toggle->isCheckable())
            QVERIFY2(toggle->isChecked() != checkedBefore, qPrintable(click));
    }
}

QString describe(const QWidget* widget) {
    if (!widget)
        return QStringLiteral("no widget");
    return QStringLiteral("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
}

// The grid's announcements, as "Type gRnn" in the order sent.
QStringList* announcements = nullptr;

void recordAnnouncement(QAccessibleEvent* event) {
    static const QHash<QAccessible::Event, QString> watched = {
        {QAccessible::Selection, QStringLiteral("Selection")},
        {QAccessible::SelectionRemove, QStringLiteral("SelectionRemove")},
        {QAccessible::NameChanged, QStringLiteral("NameChanged")},
        {QAccessible::Focus, QStringLiteral("Focus")}};
    QObject* object = event->object();
    if (!announcements || !watched.contains(event->type()) || !object ||
        !object->objectName().startsWith(QLatin1String("gR")))
        return;
    announcements->append(watched[event->type()] + QLatin1Char(' ') + object->objectName());
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void firstKeyMovesTheDay_data();
    void firstKeyMovesTheDay();
    void dayGridIsATable_data();
    void dayGridIsATable();
    void selectionChangesAreAnnounced_data();
    void selectionChangesAreAnnounced();
};

// No test here gives the focus to anything: the key goes where Qt put it after the clicks.
void DesktopTest::firstKeyMovesTheDay_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("days");
    QTest::newRow("start") << "" << int(Qt::Key_Right) << 1;
    QTest::newRow("Back from Settings") << "Settings sbBack2" << int(Qt::Key_Right) << 1;
    QTest::newRow("Back from Help") << "Help sbBack3" << int(Qt::Key_Right) << 1;
    QTest::newRow("Back from About") << "About sbBack4" << int(Qt::Key_Right) << 1;
    QTest::newRow("Save") << "Settings bSave" << int(Qt::Key_Right) << 1;
    QTest::newRow("Calendar header") << "Settings Calendar" << int(Qt::Key_Right) << 1;
    QTest::newRow("Calendar header again") << "Calendar" << int(Qt::Key_Right) << 1;
    for (const char* toggle : {"swPaydays", "swDebitDays", "swPayPeriods"}) {
        QTest::addRow("%s, Right", toggle)
            << QStringLiteral("Settings %1").arg(toggle) << int(Qt::Key_Right) << 1;
        QTest::addRow("%s, Down", toggle)
            << QStringLiteral("Settings %1").arg(toggle) << int(Qt::Key_Down) << 7;
        QTest::addRow("%s, Back, Right", toggle)
            << QStringLiteral("Settings %1 sbBack2").arg(toggle) << int(Qt::Key_Right) << 1;
    }
}

void DesktopTest::firstKeyMovesTheDay() {
    QFETCH(QString, clicks);
    QFETCH(int, key);
    QFETCH(int, days);
    WindowFixture window;
    QVERIFY(window.ready);
    clickThrough(*window.form, clicks);
    if (QTest::currentTestFailed())
        return;
    const int page = window.form->tabCtrl->activeIndex();
    const QDate before = window.selected();
    const QString focus = describe(WindowFixture::keyTarget());
    window.typeKey(static_cast<Qt::Key>(key));
    QVERIFY2(window.selected() == before.addDays(days),
             qPrintable(QStringLiteral("the key went to %1; selected %2")
                            .arg(focus, window.selected().toString(Qt::ISODate))));
    QCOMPARE(window.form->tabCtrl->activeIndex(), page);
}

void DesktopTest::dayGridIsATable_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("first cell") << QDate(2022, 5, 1) << 0 << 0;
    QTest::newRow("inside") << QDate(2030, 5, 10) << 1 << 5;
    QTest::newRow("Saturday") << QDate(2030, 5, 18) << 2 << 6;
    QTest::newRow("last row") << QDate(2022, 1, 31) << 5 << 1;
    QTest::newRow("last day of the range") << QDate(2060, 12, 31) << 4 << 5;
}

void DesktopTest::dayGridIsATable() {
    QFETCH(QDate, date);
    QFETCH(int, row);
    QFETCH(int, column);
    WindowFixture window;
    window.select(date);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(window.form->gloCal);
    QVERIFY(grid);
    QCOMPARE(grid->role(), QAccessible::Table);
    QAccessibleTableInterface* table = grid->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(table->columnCount(), 7);
    QCOMPARE(grid->childCount(), 42);
    QCOMPARE(table->cellAt(6, 0), nullptr);
    QCOMPARE(table->cellAt(0, 7), nullptr);
    QCOMPARE(table->cellAt(-1, 0), nullptr);

    // Exactly one cell is selected, the one that shows the date, wherever a reader looks.
    QCOMPARE(table->selectedCellCount(), 1);
    QAccessibleInterface* selected = table->selectedCells().value(0);
    QVERIFY(selected);
    QCOMPARE(selected->object(), window.form->gR[static_cast<size_t>(row * 7 + column)]);
    QCOMPARE(table->cellAt(row, column)->object(), selected->object());
    QVERIFY(selected->text(QAccessible::Name)
                .contains(QLocale(QLocale::English, QLocale::UnitedStates)
                              .toString(date, QStringLiteral("MMMM d, yyyy"))));
    for (int k = 0; k < 42; ++k) {
        QAccessibleInterface* cell = grid->child(k);
        QVERIFY(cell);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QAccessibleTableCellInterface* position = cell->tableCellInterface();
        QVERIFY(position);
        QCOMPARE(position->rowIndex(), k / 7);
        QCOMPARE(position->columnIndex(), k % 7);
        QCOMPARE(position->table(), grid);
        QCOMPARE(cell->parent(), grid);
        const bool isSelected = cell->object() == selected->object();
        QCOMPARE(position->isSelected(), isSelected);
        QCOMPARE(bool(cell->state().selected), isSelected);
        QVERIFY(cell->state().selectable);
    }

    // The weekday row is laid out the same way but is no table.
    QAccessibleInterface* weekdays = QAccessible::queryAccessibleInterface(window.form->gloDOW);
    QVERIFY(weekdays->role() != QAccessible::Table);
    QCOMPARE(weekdays->tableInterface(), nullptr);
}

// What a reader hears of the grid after one action. `focus` is where the focus is put first, on
// purpose: "grid", "window" (keys reach the grid through it) or "agency" (the Settings page's text
// box, which passes Page Down on but is where the reader is).
void DesktopTest::selectionChangesAreAnnounced_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("heard");
    const QDate may10(2030, 5, 10); // cell 12
    QTest::newRow("click on another day")
        << may10 << "grid"
        << "click gR20" << QStringList{"SelectionRemove gR12", "Selection gR20", "Focus gR20"};
    QTest::newRow("Right") << may10 << "window"
                           << "key Right"
                           << QStringList{"SelectionRemove gR12", "Selection gR13", "Focus gR13"};
    QTest::newRow("Page Down onto the same cell") // February and March 2026 start on a Sunday
        << QDate(2026, 2, 10) << "window"
        << "key PageDown" << QStringList{"NameChanged gR09", "Focus gR09"};
    QTest::newRow("Page Down from the agency box")
        << may10 << "agency"
        << "key PageDown" << QStringList{"SelectionRemove gR12", "Selection gR15"};
    QTest::newRow("click on the selected day") << may10 << "grid"
                                               << "click gR12" << QStringList{};
    QTest::newRow("resize") << may10 << "grid"
                            << "resize" << QStringList{};
    QTest::newRow("the grid takes the focus") << may10 << "window"
                                              << "focus gloCal" << QStringList{"Focus gR12"};
}

void DesktopTest::selectionChangesAreAnnounced() {
    QFETCH(QDate, date);
    QFETCH(QString, focus);
    QFETCH(QString, action);
    QFETCH(QStringList, heard);

    // Qt sends no accessibility event at all unless a platform bridge is on; the offscreen
    // platform has none. The desktop run turns the AT-SPI bridge on.
    if (!QAccessible::isActive())
        QSKIP("no accessibility bridge is active (QT_LINUX_ACCESSIBILITY_ALWAYS_ON on xcb)");
    const QAccessible::UpdateHandler previous =
        QAccessible::installUpdateHandler(recordAnnouncement);
    const auto restore = qScopeGuard([previous] {
        QAccessible::installUpdateHandler(previous);
        announcements = nullptr;
    });

    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    window.select(date);
    QWidget* focused = &form;
    if (focus == "grid")
        focused = form.gloCal;
    if (focus == "agency") {
        form.tabCtrl->setActivePage(form.tabSettings);
        focused = form.edAgency;
    }
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());

    QStringList recorded;
    announcements = &recorded;
    const QString verb = action.section(' ', 0, 0);
    const QString object = action.section(' ', 1);
    if (verb == "click") {
        QTest::mouseClick(form.findChild<QWidget*>(object), Qt::LeftButton);
    } else if (verb == "key") {
        const int key = object == "Right" ? Qt::Key_Right : Qt::Key_PageDown;
        window.typeKey(static_cast<Qt::Key>(key));
    } else if (verb == "focus") {
        form.findChild<QWidget*>(object)->setFocus();
    } else if (verb == "resize") {
        const QSize larger = form.size() + QSize(20, 40);
        form.resize(larger);
        QTRY_COMPARE(form.size(), larger);
    }
    announcements = nullptr;
    QCOMPARE(recorded, heard);
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
