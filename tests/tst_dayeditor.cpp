// The user's own days in the real window: "Edit day…" opened with Enter, a double click and the
// context menu, entries added, changed and deleted from the keyboard, undo and redo with their
// keys, the mark, the status line and the reader name of a day, a restart, and a file of entries
// that cannot be used.
#include "testfiles.h"
#include "windowfixture.h"

#include "core/calendar.h"
#include "days/entrystore.h"
#include "days/hours.h"
#include "editor/dayeditor.h"
#include "editor/entryform.h"
#include "monthview/headerpainter.h"
#include "rotation/rotation.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

namespace {

const QString Assignment = QStringLiteral("B2");
using Shape = FreeText::CornerMark::Shape;

int assignmentIndex(TMainForm& form, const QString& group) {
    return form.cbPlt->findText(group);
}

// The first day of December 2026 on which `wanted` holds for assignment B2.
QDate firstDay(bool (*wanted)(const DayFacts&)) {
    for (QDate date(2026, 12, 1); date.month() == 12; date = date.addDays(1))
        if (wanted(dayFacts(serialFromQDate(date), Assignment, DefaultPayPeriodStart)))
            return date;
    return {};
}

QDate dutyDay() {
    return firstDay([](const DayFacts& day) { return day.ownDuty; });
}
QDate rdoDay() {
    return firstDay([](const DayFacts& day) { return day.ownRdo; });
}

int cellOf(WindowFixture& window, QDate date) {
    const auto& dates = window.state().GridDates;
    for (size_t k = 0; k < dates.size(); ++k)
        if (qdateFromSerial(dates[k]) == date)
            return static_cast<int>(k);
    return -1;
}

template <typename T> T* active() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

template <typename T> T* control(QWidget* dialog, const char* name) {
    return dialog ? dialog->findChild<T*>(QLatin1StringView(name)) : nullptr;
}

void typeText(const QString& text) {
    QTest::keyClicks(WindowFixture::keyTarget(), text);
}

} // namespace

class DayEditorTest : public QObject {
    Q_OBJECT

private:
    // The window with assignment B2 and `date` selected.
    static void prepare(WindowFixture& window, QDate date) {
        window.form->cbPlt->setCurrentIndex(assignmentIndex(*window.form, Assignment));
        window.select(date);
    }

    // Enter on the Calendar page, as the user types it, opens the day.
    static DayEditor* openWithEnter(WindowFixture& window) {
        window.typeKey(Qt::Key_Return);
        DayEditor* editor = nullptr;
        [&] { QTRY_VERIFY((editor = active<DayEditor>()) != nullptr); }();
        return editor;
    }

    // Add… from the keyboard: the focus starts on Add when the day has no entries.
    static EntryForm* openAddForm(DayEditor* editor) {
        if (!editor)
            return nullptr;
        [&] { QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>(editor, "bAdd")); }();
        QTest::keyClick(WindowFixture::keyTarget(), Qt::Key_Space);
        EntryForm* form = nullptr;
        [&] { QTRY_VERIFY((form = active<EntryForm>()) != nullptr); }();
        return form;
    }

private slots:
    // Everything from the keyboard: open the day, add a whole-shift trade, see it in the grid,
    // the status line and the reader name, close, and the next arrow key moves the day.
    void keyboardAddShowsEverywhere() {
        WindowFixture window;
        QVERIFY(window.ready);
        const QDate day = dutyDay();
        prepare(window, day);
        QVERIFY(!QFileInfo::exists(daysFilePath(window.dataBase())));

        DayEditor* editor = openWithEnter(window);
        EntryForm* form = openAddForm(editor);
        QVERIFY(form);
        QTRY_COMPARE(QApplication::focusWidget(), control<QComboBox>(form, "cbKind"));
        QCOMPARE(control<QComboBox>(form, "cbKind")->currentText(),
                 QStringLiteral("Trade, someone works my shift"));
        // Kind, the whole shift, the start: the name is the third field on.
        for (int tab = 0; tab < 3; ++tab)
            window.typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(form, "edWith"));
        typeText(QStringLiteral("J. Smith"));
        window.typeKey(Qt::Key_Return);
        QTRY_COMPARE(active<DayEditor>(), editor);
        QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>(editor, "bAdd"));

        const QList<DayEntry> stored = window.form->entryStore().allEntries();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].kind, EntryKind::TradeOut);
        QCOMPARE(stored[0].with, QStringLiteral("J. Smith"));
        QVERIFY(!stored[0].minutes); // the whole shift, whatever its length
        QCOMPARE(qdateFromSerial(stored[0].date), day);
        QVERIFY(QFileInfo::exists(daysFilePath(window.dataBase())));
        QCOMPARE(control<QTableView>(editor, "tvEntries")->model()->rowCount(), 1);

        const auto cell = static_cast<size_t>(cellOf(window, day));
        QCOMPARE(window.form->gT[cell]->cornerMark().shape, Shape::Ring); // off that day
        QVERIFY(window.form->lblStatus->text().contains(QStringLiteral("J. Smith works")));
        QVERIFY2(window.form->gR[cell]->accessibleText().contains(
                     QStringLiteral("crew B on duty, RDO group")) &&
                     window.form->gR[cell]->accessibleText().contains(
                         QStringLiteral("traded away: J. Smith works, 24 hours")),
                 qPrintable(window.form->gR[cell]->accessibleText()));

        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!window.form->findChild<DayEditor*>());
        QTRY_COMPARE(QApplication::activeWindow(), window.form.get());
        window.typeKey(Qt::Key_Right);
        QCOMPARE(window.selected(), day.addDays(1));
    }

    // Undo and redo with their keys on the Calendar page; each step is in the file at once, and
    // what is stored survives a restart of the window.
    void undoRedoAndRestart() {
        WindowFixture window;
        QVERIFY(window.ready);
        const QDate rdo = rdoDay();
        prepare(window, rdo);
        EntryForm* form = openAddForm(openWithEnter(window));
        QVERIFY(form);
        // On the RDO the form offers extra work first.
        QCOMPARE(control<QComboBox>(form, "cbKind")->currentText(),
                 QStringLiteral("Overtime / hire-back"));
        control<QDoubleSpinBox>(form, "sbHours")->setValue(4);
        window.typeKey(Qt::Key_Return);
        QTRY_VERIFY(!window.form->findChild<EntryForm*>());
        QTRY_COMPARE(QApplication::focusWidget(),
                     window.form->findChild<QPushButton*>(QStringLiteral("bAdd")));
        window.typeKey(Qt::Key_Escape);
        QTRY_COMPARE(QApplication::activeWindow(), window.form.get());

        EntryStore& store = window.form->entryStore();
        QCOMPARE(store.allEntries().size(), 1);
        QCOMPARE(store.allEntries()[0].minutes, 240);
        const auto cell = static_cast<size_t>(cellOf(window, rdo));
        QCOMPARE(window.form->gT[cell]->cornerMark().shape, Shape::Disc); // works that day

        window.typeKey(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(store.allEntries().size(), 0);
        QCOMPARE(window.form->gT[cell]->cornerMark().shape, Shape::None);
        window.typeKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(store.allEntries().size(), 1);
        window.typeKey(Qt::Key_Z, Qt::ControlModifier);
        window.typeKey(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(store.allEntries().size(), 1);
        QCOMPARE(window.form->gT[cell]->cornerMark().shape, Shape::Disc);
        const qint64 counter = store.changeCounter(serialFromQDate(rdo));
        QVERIFY2(counter >= 4, "every step raises the day's change counter");

        // The next window of the user finds it as it was left.
        StartupEnvironment environment;
        environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        environment.configBase = window.configBase();
        environment.dataBase = window.dataBase();
        const QList<DayEntry> before = store.allEntries();
        window.form.reset();
        TMainForm again(environment);
        QCOMPARE(again.entryStore().allEntries(), before);
        QCOMPARE(again.entryStore().changeCounter(serialFromQDate(rdo)), counter);
    }

    // A refusal is one sentence in the form, which stays open, and nothing is stored.
    void refusalKeepsTheFormOpen() {
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, rdoDay());
        EntryForm* form = openAddForm(openWithEnter(window));
        QVERIFY(form);
        auto* kind = control<QComboBox>(form, "cbKind");
        kind->setCurrentIndex(kind->findText(QStringLiteral("Leave")));
        window.typeKey(Qt::Key_Return);
        auto* refusal = control<QLabel>(form, "lblRefusal");
        QTRY_VERIFY(refusal->isVisible());
        QCOMPARE(refusal->text(),
                 QStringLiteral("You are not on duty that day, so there is no shift to take "
                                "leave from."));
        QCOMPARE(active<EntryForm>(), form);
        QVERIFY(window.form->entryStore().allEntries().isEmpty());
        QVERIFY(!QFileInfo::exists(daysFilePath(window.dataBase())));
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!window.form->findChild<EntryForm*>());
    }

    // A double click on a day selects it and opens it; so does the context menu's entry.
    void doubleClickAndMenuOpenTheDay() {
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, QDate(2026, 12, 10));
        const QDate target = dutyDay();
        Rectangle* cell = window.form->gR[static_cast<size_t>(cellOf(window, target))];
        QTest::mouseDClick(cell, Qt::LeftButton);
        QTRY_VERIFY(active<DayEditor>());
        QCOMPARE(window.selected(), target);
        QCOMPARE(active<DayEditor>()->windowTitle(),
                 QLocale().toString(target, QLocale::LongFormat));
        QTRY_COMPARE(QApplication::activeWindow(), active<DayEditor>());
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!window.form->findChild<DayEditor*>());

        QMenu* menu = window.form->calendarMenu()->menu();
        auto* edit = menu->findChild<QAction*>(QStringLiteral("actEditDay"));
        QVERIFY(edit);
        QVERIFY(menu->findChild<QAction*>(QStringLiteral("actUndo")));
        QTRY_COMPARE(QApplication::activeWindow(), window.form.get());
        window.typeKey(Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Down);
        QCOMPARE(menu->activeAction(), edit);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(active<DayEditor>());
        window.typeKey(Qt::Key_Escape);
    }

    // The status line's pay-period hours count entries before the grid's first day too: the
    // first days of a month can lie in a period that began up to 13 days before it.
    void statusTotalReachesBeyondTheGrid() {
        WindowFixture window;
        QVERIFY(window.ready);
        window.form->cbPlt->setCurrentIndex(assignmentIndex(*window.form, Assignment));
        // A day whose pay period began before its month's grid, and a duty of B2 in that part.
        std::optional<DateSerial> selected;
        std::optional<DateSerial> early;
        for (DateSerial day = serialFromYmd(2026, 1, 1); !early; day += 1) {
            const DateSerial gridStart = firstGridDay(day);
            for (DateSerial d = PayPeriodFirstDay(day, DefaultPayPeriodStart); d < gridStart;
                 d += 1)
                if (dayFacts(d, Assignment, DefaultPayPeriodStart).ownDuty) {
                    selected = day;
                    early = d;
                    break;
                }
        }
        DayEntry traded;
        traded.date = *early;
        traded.kind = EntryKind::TradeOut;
        traded.minutes = 600;
        QVERIFY(window.form->entryStore().add(traded).ok);
        window.select(qdateFromSerial(*selected));
        QVERIFY(dayKey(window.state().GridDates.front()) > dayKey(*early));
        QVERIFY2(window.form->lblStatus->text().contains(QStringLiteral(" 134 h")),
                 qPrintable(window.form->lblStatus->text()));
    }

    // A file of entries that cannot be used: the window shows the rotation, says once what is
    // wrong and where, refuses every change, and leaves the file exactly as it was.
    void unusableFileLeavesTheRotation() {
        WindowFixture probe; // only for its folders
        const QString path = daysFilePath(probe.dataBase());
        const QByteArray garbage = QByteArray("SQLite format 3") + QByteArray(4096, '\x5a');
        writeFile(path, garbage);
        StartupEnvironment environment;
        environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        environment.configBase = probe.configBase();
        environment.dataBase = probe.dataBase();
        probe.form.reset();
        TMainForm form(environment);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = form.findChild<QMessageBox*>(QStringLiteral("msgDaysUnavailable"))));
        QVERIFY2(box->text().contains(path), qPrintable(box->text()));
        QCOMPARE(form.findChildren<QMessageBox*>().size(), 1);
        QCOMPARE(form.gT[10]->text().isEmpty(), false); // the grid shows the rotation
        box->accept();

        form.gloCalEditDay();
        DayEditor* editor = nullptr;
        QTRY_VERIFY((editor = form.findChild<DayEditor*>()));
        QVERIFY(!control<QPushButton>(editor, "bAdd")->isEnabled());
        QVERIFY(control<QLabel>(editor, "lblUnavailable")->isVisible());
        DayEntry entry;
        entry.date = form.state().SelectedDate;
        entry.kind = EntryKind::Note;
        QVERIFY(!form.entryStore().add(entry).ok);
        editor->reject();
        QCOMPARE(fileBytes(path), garbage);
    }
};

QTEST_MAIN(DayEditorTest)
#include "tst_dayeditor.moc"
