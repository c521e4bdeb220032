// The user's own days in the real window: a day opened with Enter, a double click and the context
// menu (the entry form at once on a day without entries, the day's list on a day with some),
// entries added, changed and deleted from the keyboard, the fields' defaults by kind, the typed
// hours, start and partner, undo and redo with their keys on the page and inside the list, the
// mark, the status line and the reader name of a day, refusals, a restart, a file of entries that
// cannot be used, and the key presses the common entries take.
#include "testfiles.h"
#include "windowfixture.h"

#include "core/calendar.h"
#include "days/entrystore.h"
#include "days/hours.h"
#include "days/shifttime.h"
#include "editor/dayeditor.h"
#include "editor/entryform.h"
#include "editor/entryinput.h"
#include "monthview/headerpainter.h"
#include "rotation/rotation.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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

// The days of December 2026 on which `wanted` holds for assignment B2.
QList<QDate> daysWhere(bool (*wanted)(const DayFacts&)) {
    QList<QDate> found;
    for (QDate date(2026, 12, 1); date.month() == 12; date = date.addDays(1))
        if (wanted(dayFacts(serialFromQDate(date), Assignment, DefaultPayPeriodStart)))
            found.append(date);
    return found;
}

QDate firstDay(bool (*wanted)(const DayFacts&)) {
    return daysWhere(wanted).value(0);
}

QDate dutyDay() {
    return firstDay([](const DayFacts& day) { return day.ownDuty; });
}
QDate rdoDay() {
    return firstDay([](const DayFacts& day) { return day.ownRdo; });
}
// A day of the other crew: neither the user's duty nor the user's RDO.
QDate offDay() {
    return firstDay([](const DayFacts& day) { return !day.ownDuty && !day.ownRdo; });
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

// The process's local zone for a test: the length of a shift is read in local time.
class LocalZone {
public:
    explicit LocalZone(const QByteArray& zone) : m_saved(qgetenv("TZ")) { set(zone); }
    ~LocalZone() { set(m_saved); }
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    static void set(const QByteArray& zone) {
        if (zone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
    }
    QByteArray m_saved;
};

// An entry recorded before the test, at a moment of its own.
DayEntry recorded(QDate date, EntryKind kind, const QString& with, const QDateTime& modified) {
    DayEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = serialFromQDate(date);
    entry.kind = kind;
    entry.with = with;
    entry.modified = modified;
    return entry;
}

// One key press as a user makes it: a key with its modifiers, or a character typed; and what the
// screen must show before the next press, as a user waits for a window to come up.
struct Press {
    enum Wait { Nothing, FormUp, GridBack };
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    char typed = 0;
    Wait wait = Nothing;
};
using Presses = QList<Press>;

Press key(Qt::Key key, Press::Wait wait = Press::Nothing) {
    return {key, Qt::NoModifier, 0, wait};
}
Press alt(Qt::Key key) {
    return {key, Qt::AltModifier, 0, Press::Nothing};
}
Press typed(char character) {
    return {Qt::Key_unknown, Qt::NoModifier, character, Press::Nothing};
}

} // namespace

Q_DECLARE_METATYPE(Presses)
Q_DECLARE_METATYPE(EntryKind)
Q_DECLARE_METATYPE(LeaveType)
Q_DECLARE_METATYPE(std::optional<int>)

class DayEditorTest : public QObject {
    Q_OBJECT

private:
    // The window with assignment B2 and `date` selected.
    static void prepare(WindowFixture& window, QDate date) {
        window.form->cbPlt->setCurrentIndex(assignmentIndex(*window.form, Assignment));
        window.select(date);
    }

    // Enter on the Calendar page, as the user types it, opens a day with entries in its list.
    static DayEditor* openWithEnter(WindowFixture& window) {
        window.typeKey(Qt::Key_Return);
        DayEditor* editor = nullptr;
        [&] { QTRY_VERIFY((editor = active<DayEditor>()) != nullptr); }();
        return editor;
    }

    // Enter on a day without entries opens the entry form at once, its kind focused.
    static EntryForm* openFormWithEnter(WindowFixture& window) {
        window.typeKey(Qt::Key_Return);
        EntryForm* form = nullptr;
        [&] { QTRY_VERIFY((form = active<EntryForm>()) != nullptr); }();
        [&] { QTRY_COMPARE(QApplication::focusWidget(), control<QComboBox>(form, "cbKind")); }();
        return form;
    }

    // The form's Return as the user presses it; the form closes and the grid has the keys again.
    static void submitAndBackToGrid(WindowFixture& window) {
        window.typeKey(Qt::Key_Return);
        [&] { QTRY_VERIFY(!active<EntryForm>()); }();
        [&] { QTRY_COMPARE(QApplication::activeWindow(), window.form.get()); }();
    }

    // A new entry from the month's menu, by the mnemonic of its entry.
    static EntryForm* openFromMenu(WindowFixture& window, char mnemonic) {
        QMenu* menu = window.form->calendarMenu()->menu();
        window.typeKey(Qt::Key_F10, Qt::ShiftModifier);
        [&] { QTRY_VERIFY(menu->isVisible()); }();
        QTest::keyClick(menu, mnemonic);
        EntryForm* form = nullptr;
        [&] { QTRY_VERIFY((form = active<EntryForm>()) != nullptr); }();
        [&] { QTRY_COMPARE(QApplication::focusWidget(), control<QComboBox>(form, "cbKind")); }();
        return form;
    }

    // Plays `presses` from where the keys go now, waiting where a user waits.
    static void play(WindowFixture& window, const Presses& presses) {
        for (const Press& press : presses) {
            if (press.typed)
                QTest::keyClick(WindowFixture::keyTarget(), press.typed);
            else
                window.typeKey(press.key, press.modifiers);
            if (press.wait == Press::FormUp) {
                [&] { QTRY_VERIFY(active<EntryForm>()); }();
                [&] {
                    QTRY_VERIFY(QApplication::focusWidget() &&
                                QApplication::focusWidget()->window() == active<EntryForm>());
                }();
            } else if (press.wait == Press::GridBack) {
                [&] { QTRY_VERIFY(!active<EntryForm>()); }();
                [&] { QTRY_COMPARE(QApplication::activeWindow(), window.form.get()); }();
            }
        }
    }

private slots:
    // Everything from the keyboard: open the day, add a whole-shift trade, see it in the grid,
    // the status line and the reader name, open the day again to its list, close, and the next
    // arrow key moves the day.
    void keyboardAddShowsEverywhere() {
        WindowFixture window;
        QVERIFY(window.ready);
        const QDate day = dutyDay();
        prepare(window, day);
        QVERIFY(!QFileInfo::exists(daysFilePath(window.dataBase())));

        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        QCOMPARE(control<QComboBox>(form, "cbKind")->currentText(),
                 QStringLiteral("Trade, someone works my shift"));
        QVERIFY(!window.form->findChild<DayEditor*>()); // one dialog for a new day
        // Kind, the hours (the whole shift), the start: the name is the third field on.
        for (int tab = 0; tab < 3; ++tab)
            window.typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(form, "edWith"));
        typeText(QStringLiteral("J. Smith"));
        submitAndBackToGrid(window);

        const QList<DayEntry> stored = window.form->entryStore().allEntries();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].kind, EntryKind::TradeOut);
        QCOMPARE(stored[0].with, QStringLiteral("J. Smith"));
        QVERIFY(!stored[0].minutes); // the whole shift, whatever its length
        QCOMPARE(qdateFromSerial(stored[0].date), day);
        QVERIFY(QFileInfo::exists(daysFilePath(window.dataBase())));

        const auto cell = static_cast<size_t>(cellOf(window, day));
        QCOMPARE(window.form->gT[cell]->cornerMark().shape, Shape::Ring); // off that day
        QVERIFY(window.form->lblStatus->text().contains(QStringLiteral("J. Smith works")));
        QVERIFY2(window.form->gR[cell]->accessibleText().contains(
                     QStringLiteral("crew B on duty, RDO group")) &&
                     window.form->gR[cell]->accessibleText().contains(
                         QStringLiteral("traded away: J. Smith works, 24 hours")),
                 qPrintable(window.form->gR[cell]->accessibleText()));

        // Now the day has an entry: Enter opens its list, the entry selected and focused.
        DayEditor* editor = openWithEnter(window);
        auto* table = control<QTableView>(editor, "tvEntries");
        QCOMPARE(table->model()->rowCount(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), table);
        QCOMPARE(table->currentIndex().row(), 0);
        QVERIFY(table->selectionModel()->isRowSelected(0, {}));

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
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        // On the RDO the form offers extra work first.
        QCOMPARE(control<QComboBox>(form, "cbKind")->currentText(),
                 QStringLiteral("Overtime / hire-back"));
        window.typeKey(Qt::Key_H, Qt::AltModifier);
        typeText(QStringLiteral("4"));
        submitAndBackToGrid(window);

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
        EntryForm* form = openFormWithEnter(window);
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

    // A double click on a day selects it and opens it: the entry form on a day without entries,
    // the list on a day with some; so does the context menu's entry.
    void doubleClickAndMenuOpenTheDay() {
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, QDate(2026, 12, 10));
        const QDate target = dutyDay();
        Rectangle* cell = window.form->gR[static_cast<size_t>(cellOf(window, target))];
        QTest::mouseDClick(cell, Qt::LeftButton);
        QTRY_VERIFY(active<EntryForm>());
        QCOMPARE(window.selected(), target);
        const QString date = QLocale().toString(target, QLocale::LongFormat);
        QVERIFY2(active<EntryForm>()->windowTitle().startsWith(date),
                 qPrintable(active<EntryForm>()->windowTitle()));
        QTRY_COMPARE(QApplication::activeWindow(), active<EntryForm>());
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!window.form->findChild<EntryForm*>());
        QVERIFY(window.form->entryStore().allEntries().isEmpty());

        DayEntry note;
        note.date = serialFromQDate(target);
        note.kind = EntryKind::Note;
        note.note = QStringLiteral("station 4");
        QVERIFY(window.form->entryStore().add(note).ok);
        QTest::mouseDClick(cell, Qt::LeftButton);
        QTRY_VERIFY(active<DayEditor>());
        QCOMPARE(active<DayEditor>()->windowTitle(), date);
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

    // What an entry stands for without hours, said in the day's own length of a shift; where
    // the kind cannot go on the day, that sentence at once and no hours the day does not have.
    void defaultsByKind_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<EntryKind>("kind");
        QTest::addColumn<QString>("said"); // what the empty hours field says
        QTest::addColumn<QString>("refusal");
        const QString whole = QStringLiteral("The whole shift, 24 hours");
        QTest::newRow("trade-out on duty")
            << QByteArray() << dutyDay() << EntryKind::TradeOut << whole << QString();
        QTest::newRow("leave on duty")
            << QByteArray() << dutyDay() << EntryKind::Leave << whole << QString();
        QTest::newRow("trade-in on a day off")
            << QByteArray() << offDay() << EntryKind::TradeIn << whole << QString();
        QTest::newRow("overtime on the RDO")
            << QByteArray() << rdoDay() << EntryKind::Overtime << whole << QString();
        QTest::newRow("holdover") << QByteArray() << dutyDay() << EntryKind::Holdover
                                  << QStringLiteral("Give the hours of the holdover") << QString();
        QTest::newRow("training") << QByteArray() << offDay() << EntryKind::Training
                                  << QStringLiteral("Give the hours of the training") << QString();
        QTest::newRow("leave on the RDO")
            << QByteArray() << rdoDay() << EntryKind::Leave << QString()
            << QStringLiteral("You are not on duty that day, so there is no shift to take leave "
                              "from.");
        QTest::newRow("trade-out on a day off")
            << QByteArray() << offDay() << EntryKind::TradeOut << QString()
            << QStringLiteral("You are not on duty that day, so there is no shift to trade "
                              "away.");
        QTest::newRow("trade-in on duty")
            << QByteArray() << dutyDay() << EntryKind::TradeIn << QString()
            << QStringLiteral("You are on duty that day: a trade where you work for someone goes "
                              "on a day you are not on duty.");
        // The clocks go back in the night of 31 October to 1 November 2026 there, and forward in
        // the night of 7 to 8 March.
        QTest::newRow("25-hour night")
            << QByteArray("America/New_York") << QDate(2026, 10, 31) << EntryKind::Overtime
            << QStringLiteral("The whole shift, 25 hours") << QString();
        QTest::newRow("23-hour night")
            << QByteArray("America/New_York") << QDate(2026, 3, 7) << EntryKind::Overtime
            << QStringLiteral("The whole shift, 23 hours") << QString();
    }
    void defaultsByKind() {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        QFETCH(EntryKind, kind);
        QFETCH(QString, said);
        QFETCH(QString, refusal);
        const LocalZone local(zone.isEmpty() ? QByteArray("UTC") : zone);
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, day);
        // On those nights, whichever kind the day offers first.
        if (!zone.isEmpty() && window.form->schedule().day(serialFromQDate(day)).ownDuty)
            kind = EntryKind::TradeOut;
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        auto* kinds = control<QComboBox>(form, "cbKind");
        kinds->setCurrentIndex(kinds->findData(static_cast<int>(kind)));
        auto* hours = control<QLineEdit>(form, "edHours");
        QVERIFY(hours->isVisible());
        QCOMPARE(hours->text(), QString());
        QCOMPARE(hours->placeholderText(), said);
        auto* sentence = control<QLabel>(form, "lblRefusal");
        QCOMPARE(sentence->isVisible(), !refusal.isEmpty());
        if (!refusal.isEmpty())
            QCOMPARE(sentence->text(), refusal);
        QCOMPARE(hours->isEnabled(), refusal.isEmpty());
        QCOMPARE(control<QLineEdit>(form, "edStart")->isEnabled(), refusal.isEmpty());
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!active<EntryForm>());
    }

    // Enter takes what the form says: a whole shift for a trade-in and a hire-back; a holdover
    // and training ask for their hours instead of taking the 24 of a shift.
    void enterTakesTheDefault_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<EntryKind>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("trade-in") << offDay() << EntryKind::TradeIn << QString();
        QTest::newRow("overtime") << rdoDay() << EntryKind::Overtime << QString();
        QTest::newRow("holdover") << dutyDay() << EntryKind::Holdover
                                  << QStringLiteral("Give the hours of the holdover.");
        QTest::newRow("training") << offDay() << EntryKind::Training
                                  << QStringLiteral("Give the hours of the training.");
    }
    void enterTakesTheDefault() {
        QFETCH(QDate, day);
        QFETCH(EntryKind, kind);
        QFETCH(QString, refusal);
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, day);
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        auto* kinds = control<QComboBox>(form, "cbKind");
        kinds->setCurrentIndex(kinds->findData(static_cast<int>(kind)));
        EntryStore& store = window.form->entryStore();
        if (!refusal.isEmpty()) {
            window.typeKey(Qt::Key_Return);
            auto* sentence = control<QLabel>(form, "lblRefusal");
            QTRY_VERIFY(sentence->isVisible());
            QCOMPARE(sentence->text(), refusal);
            QCOMPARE(active<EntryForm>(), form);
            QVERIFY(store.allEntries().isEmpty());
            window.typeKey(Qt::Key_Escape);
            QTRY_VERIFY(!active<EntryForm>());
            return;
        }
        submitAndBackToGrid(window);
        QCOMPARE(store.allEntries().size(), 1);
        QCOMPARE(store.allEntries()[0].kind, kind);
        QVERIFY(!store.allEntries()[0].minutes);
        const DayFacts& facts = window.form->schedule().day(serialFromQDate(day));
        QCOMPARE(facts.countedMinutes, QList<int>{24 * 60});
    }

    // The partner field completes from the names recorded before, the most recently recorded
    // first, whatever the case typed: Enter takes the name as it was recorded, Down and Up offer
    // the others. Names that differ only in case or spaces are offered once.
    void partnerCompletesFromRecordedNames() {
        WindowFixture window;
        QVERIFY(window.ready);
        const QList<QDate> duty = daysWhere([](const DayFacts& day) { return day.ownDuty; });
        const QList<QDate> off = daysWhere([](const DayFacts& day) { return !day.ownDuty; });
        QVERIFY(duty.size() >= 4 && off.size() >= 2);
        EntryStore& store = window.form->entryStore();
        const QDateTime noon(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC);
        // Recorded last, on the earliest day: offered first.
        QVERIFY(store
                    .restore(recorded(duty[1], EntryKind::TradeOut, QStringLiteral("J. Smith"),
                                      noon.addSecs(7200)))
                    .ok);
        QVERIFY(store
                    .restore(recorded(off[1], EntryKind::TradeIn, QStringLiteral("J. Smythe"),
                                      noon.addSecs(3600)))
                    .ok);
        QVERIFY(
            store
                .restore(recorded(duty[2], EntryKind::TradeOut, QStringLiteral(" j.  smith"), noon))
                .ok);
        QVERIFY(
            store.restore(recorded(duty[3], EntryKind::TradeOut, QStringLiteral("Okafor"), noon))
                .ok);
        prepare(window, duty[0]);
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        auto* with = control<QLineEdit>(form, "edWith");
        window.typeKey(Qt::Key_W, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), with);
        typeText(QStringLiteral("j"));
        QCOMPARE(with->text(), QStringLiteral("j. Smith"));
        QCOMPARE(with->selectedText(), QStringLiteral(". Smith"));
        window.typeKey(Qt::Key_Down);
        QCOMPARE(with->text(), QStringLiteral("j. Smythe"));
        window.typeKey(Qt::Key_Down); // " j.  smith" is J. Smith again, not offered twice
        QCOMPARE(with->text(), QStringLiteral("j. Smith"));
        window.typeKey(Qt::Key_Return); // takes the name, as recorded
        QCOMPARE(with->text(), QStringLiteral("J. Smith"));
        QCOMPARE(active<EntryForm>(), form);
        submitAndBackToGrid(window);
        const DayFacts& day = window.form->schedule().day(serialFromQDate(duty[0]));
        QCOMPARE(day.entries.size(), 1);
        QCOMPARE(day.entries[0].with, QStringLiteral("J. Smith"));
    }

    // The start and the hours as people type them, as soon as the field has the focus, by Tab
    // or by its mnemonic; the field takes only such keys, and what it takes but cannot read is
    // one sentence, with nothing stored.
    void typedStartAndHours_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("byMnemonic");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<int>>("start");
        QTest::addColumn<std::optional<int>>("minutes");
        QTest::addColumn<QString>("refusal");
        const QString start = QStringLiteral("edStart");
        const QString hours = QStringLiteral("edHours");
        const std::optional<int> none;
        const std::optional<int> seven = 7 * 60;
        for (const char* typed : {"0700", "7:00", "07:00", "7", "07"}) {
            QTest::addRow("start %s by Alt+S", typed)
                << start << true << QString::fromLatin1(typed) << seven << none << QString();
            QTest::addRow("start %s by Tab", typed)
                << start << false << QString::fromLatin1(typed) << seven << none << QString();
        }
        QTest::newRow("start 730") << start << true << QStringLiteral("730")
                                   << std::optional<int>(7 * 60 + 30) << none << QString();
        QTest::newRow("start 1930") << start << true << QStringLiteral("1930")
                                    << std::optional<int>(19 * 60 + 30) << none << QString();
        QTest::newRow("start 0") << start << true << QStringLiteral("0") << std::optional<int>(0)
                                 << none << QString();
        QTest::newRow("letters are not taken")
            << start << true << QStringLiteral("7h") << seven << none << QString();
        QTest::newRow("start 24") << start << true << QStringLiteral("24") << none << none
                                  << unreadableStartText();
        QTest::newRow("start 7:5")
            << start << true << QStringLiteral("7:5") << none << none << unreadableStartText();
        QTest::newRow("start 0760")
            << start << true << QStringLiteral("0760") << none << none << unreadableStartText();
        QTest::newRow("hours 10 by Alt+H") << hours << true << QStringLiteral("10") << none
                                           << std::optional<int>(600) << QString();
        QTest::newRow("hours 10 by Tab") << hours << false << QStringLiteral("10") << none
                                         << std::optional<int>(600) << QString();
        for (const char* typed : {"10.5", "10,5", "10:30"})
            QTest::addRow("hours %s", typed) << hours << true << QString::fromLatin1(typed) << none
                                             << std::optional<int>(630) << QString();
        QTest::newRow("hours 0.25") << hours << true << QStringLiteral("0.25") << none
                                    << std::optional<int>(15) << QString();
        QTest::newRow("hours 10:")
            << hours << true << QStringLiteral("10:") << none << none << unreadableHoursText();
        QTest::newRow("hours 0") << hours << true << QStringLiteral("0") << none << none
                                 << QStringLiteral("Give the hours: more than 0.");
    }
    void typedStartAndHours() {
        QFETCH(QString, field);
        QFETCH(bool, byMnemonic);
        QFETCH(QString, typed);
        QFETCH(std::optional<int>, start);
        QFETCH(std::optional<int>, minutes);
        QFETCH(QString, refusal);
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, rdoDay());
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        const bool isStart = field == QLatin1String("edStart");
        if (byMnemonic) {
            window.typeKey(isStart ? Qt::Key_S : Qt::Key_H, Qt::AltModifier);
        } else {
            for (int tab = 0; tab < (isStart ? 2 : 1); ++tab)
                window.typeKey(Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(form, qPrintable(field)));
        typeText(typed);
        window.typeKey(Qt::Key_Return);
        EntryStore& store = window.form->entryStore();
        if (!refusal.isEmpty()) {
            auto* sentence = control<QLabel>(form, "lblRefusal");
            QTRY_VERIFY(sentence->isVisible());
            QCOMPARE(sentence->text(), refusal);
            QCOMPARE(active<EntryForm>(), form);
            QVERIFY(store.allEntries().isEmpty());
            return;
        }
        QTRY_VERIFY(!active<EntryForm>());
        QCOMPARE(store.allEntries().size(), 1);
        QCOMPARE(store.allEntries()[0].start, start);
        QCOMPARE(store.allEntries()[0].minutes, minutes);
    }

    // Every field of the form has a mnemonic of its own, whatever the kind, and it takes the
    // focus there.
    void everyFieldHasAMnemonic_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<EntryKind>("kind");
        QTest::newRow("trade-out") << dutyDay() << EntryKind::TradeOut;
        QTest::newRow("trade-in") << offDay() << EntryKind::TradeIn;
        QTest::newRow("leave") << dutyDay() << EntryKind::Leave;
        QTest::newRow("overtime") << offDay() << EntryKind::Overtime;
        QTest::newRow("holdover") << dutyDay() << EntryKind::Holdover;
        QTest::newRow("training") << offDay() << EntryKind::Training;
        QTest::newRow("note") << dutyDay() << EntryKind::Note;
    }
    void everyFieldHasAMnemonic() {
        QFETCH(QDate, day);
        QFETCH(EntryKind, kind);
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, day);
        EntryForm* form = openFormWithEnter(window);
        QVERIFY(form);
        auto* kinds = control<QComboBox>(form, "cbKind");
        kinds->setCurrentIndex(kinds->findData(static_cast<int>(kind)));
        auto* layout = qobject_cast<QFormLayout*>(form->layout());
        QVERIFY(layout);
        QSet<QString> letters;
        int fields = 0;
        for (int row = 0; row < layout->rowCount(); ++row) {
            auto* label =
                qobject_cast<QLabel*>(layout->itemAt(row, QFormLayout::LabelRole)
                                          ? layout->itemAt(row, QFormLayout::LabelRole)->widget()
                                          : nullptr);
            if (!label || !label->isVisible())
                continue;
            QWidget* field = layout->itemAt(row, QFormLayout::FieldRole)->widget();
            const QKeySequence mnemonic = QKeySequence::mnemonic(label->text());
            QVERIFY2(!mnemonic.isEmpty(), qPrintable(label->text()));
            QVERIFY2(!letters.contains(mnemonic.toString()), qPrintable(label->text()));
            letters.insert(mnemonic.toString());
            QCOMPARE(label->buddy(), field);
            // Away from the field first, so that its mnemonic has somewhere to bring the focus
            // from.
            window.typeKey(Qt::Key_Tab);
            QTest::keySequence(WindowFixture::keyTarget(), mnemonic);
            QVERIFY2(QApplication::focusWidget() == field, qPrintable(label->text()));
            ++fields;
        }
        QVERIFY(fields >= 2);
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!active<EntryForm>());
    }

    // The month's menu offers the common kinds directly: the form opens with the kind chosen,
    // also on a day that has entries.
    void menuOffersTheCommonKinds_data() {
        QTest::addColumn<char>("mnemonic");
        QTest::addColumn<QString>("action");
        QTest::addColumn<EntryKind>("kind");
        QTest::newRow("trade away") << 't' << QStringLiteral("actTradeAway") << EntryKind::TradeOut;
        QTest::newRow("leave") << 'l' << QStringLiteral("actLeave") << EntryKind::Leave;
        QTest::newRow("overtime") << 'o' << QStringLiteral("actOvertime") << EntryKind::Overtime;
    }
    void menuOffersTheCommonKinds() {
        QFETCH(char, mnemonic);
        QFETCH(QString, action);
        QFETCH(EntryKind, kind);
        WindowFixture window;
        QVERIFY(window.ready);
        const QDate day = dutyDay();
        DayEntry note;
        note.date = serialFromQDate(day);
        note.kind = EntryKind::Note;
        QVERIFY(window.form->entryStore().add(note).ok);
        prepare(window, day);
        QVERIFY(window.form->calendarMenu()->menu()->findChild<QAction*>(action));
        EntryForm* form = openFromMenu(window, mnemonic);
        QVERIFY(form);
        QVERIFY(!window.form->findChild<DayEditor*>());
        QCOMPARE(control<QComboBox>(form, "cbKind")->currentData().toInt(), static_cast<int>(kind));
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!active<EntryForm>());
        QTRY_COMPARE(QApplication::activeWindow(), window.form.get());
        QCOMPARE(window.form->entryStore().allEntries().size(), 1);
    }

    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y while the day's list is open: the list and the file follow
    // every step, and the list stays open.
    void undoInsideTheList() {
        WindowFixture window;
        QVERIFY(window.ready);
        const QDate day = dutyDay();
        DayEntry traded;
        traded.date = serialFromQDate(day);
        traded.kind = EntryKind::TradeOut;
        traded.with = QStringLiteral("J. Smith");
        EntryStore& store = window.form->entryStore();
        QVERIFY(store.add(traded).ok);
        prepare(window, day);
        DayEditor* editor = openWithEnter(window);
        QVERIFY(editor);
        auto* table = control<QTableView>(editor, "tvEntries");
        QTRY_COMPARE(QApplication::focusWidget(), table);
        window.typeKey(Qt::Key_Delete);
        QCOMPARE(table->model()->rowCount(), 0);
        struct Step {
            Qt::KeyboardModifiers modifiers;
            Qt::Key key;
            int rows;
        };
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        for (const Step& step :
             {Step{ctrl, Qt::Key_Z, 1}, Step{ctrl | Qt::ShiftModifier, Qt::Key_Z, 0},
              Step{ctrl, Qt::Key_Z, 1}, Step{ctrl, Qt::Key_Y, 0}, Step{ctrl, Qt::Key_Z, 1}}) {
            window.typeKey(step.key, step.modifiers);
            QCOMPARE(table->model()->rowCount(), step.rows);
            QCOMPARE(store.allEntries().size(), step.rows);
            QCOMPARE(active<DayEditor>(), editor);
        }
        QCOMPARE(store.allEntries()[0].with, QStringLiteral("J. Smith"));
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!window.form->findChild<DayEditor*>());
    }

    // A refusal that wraps shows all its lines, whether it comes on Enter or at once; the test
    // runs again at twice the scale.
    void refusalShowsAllItsLines_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<char>("mnemonic");
        QTest::addColumn<bool>("enter");
        QTest::newRow("overtime beside the own shift, on Enter") << dutyDay() << 'o' << true;
        QTest::newRow("leave on the RDO, at once") << rdoDay() << 'l' << false;
    }
    void refusalShowsAllItsLines() {
        QFETCH(QDate, day);
        QFETCH(char, mnemonic);
        QFETCH(bool, enter);
        WindowFixture window;
        QVERIFY(window.ready);
        prepare(window, day);
        EntryForm* form = openFromMenu(window, mnemonic);
        QVERIFY(form);
        if (enter)
            window.typeKey(Qt::Key_Return);
        auto* sentence = control<QLabel>(form, "lblRefusal");
        QTRY_VERIFY(sentence->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const int lineHeight = sentence->fontMetrics().lineSpacing();
        QVERIFY2(sentence->heightForWidth(sentence->width()) >= 2 * lineHeight,
                 "the sentence wraps at this width");
        QVERIFY2(sentence->height() >= sentence->heightForWidth(sentence->width()),
                 qPrintable(QStringLiteral("%1 high for %2 needed")
                                .arg(sentence->height())
                                .arg(sentence->heightForWidth(sentence->width()))));
        QVERIFY(form->rect().contains(sentence->geometry()));
        // Nothing covers it: the buttons come below.
        auto* buttons = form->findChild<QDialogButtonBox*>();
        QVERIFY(buttons->geometry().top() >= sentence->geometry().bottom());
        window.typeKey(Qt::Key_Escape);
        QTRY_VERIFY(!active<EntryForm>());
    }

    // The common entries from the grid, every key press counted (a chord is one press): the
    // figures of the README's table.
    void keyPressesFromTheGrid_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<Presses>("presses");
        QTest::addColumn<int>("goal");
        QTest::addColumn<EntryKind>("kind");
        QTest::addColumn<QString>("with");
        QTest::addColumn<LeaveType>("leaveType");
        QTest::addColumn<std::optional<int>>("minutes");
        QTest::addColumn<std::optional<int>>("start");
        const Press formUp = key(Qt::Key_Return, Press::FormUp);
        const Press done = key(Qt::Key_Return, Press::GridBack);
        QTest::newRow("whole-shift trade-out to a partner recorded before")
            << dutyDay() << Presses{formUp, alt(Qt::Key_W), typed('j'), key(Qt::Key_Return), done}
            << 6 << EntryKind::TradeOut << QStringLiteral("J. Smith") << LeaveType::None
            << std::optional<int>() << std::optional<int>();
        QTest::newRow("vacation day")
            << dutyDay() << Presses{formUp, typed('l'), done} << 5 << EntryKind::Leave << QString()
            << LeaveType::Vacation << std::optional<int>() << std::optional<int>();
        QTest::newRow("overtime of 10 hours from 07:00")
            << offDay() << Presses{formUp,         alt(Qt::Key_H), typed('1'), typed('0'),
                                   alt(Qt::Key_S), typed('7'),     done}
            << 10 << EntryKind::Overtime << QString() << LeaveType::None << std::optional<int>(600)
            << std::optional<int>(7 * 60);
    }
    void keyPressesFromTheGrid() {
        QFETCH(QDate, day);
        QFETCH(Presses, presses);
        QFETCH(int, goal);
        QFETCH(EntryKind, kind);
        QFETCH(QString, with);
        QFETCH(LeaveType, leaveType);
        QFETCH(std::optional<int>, minutes);
        QFETCH(std::optional<int>, start);
        WindowFixture window;
        QVERIFY(window.ready);
        // The partner of an earlier trade.
        const QList<QDate> duty = daysWhere([](const DayFacts& facts) { return facts.ownDuty; });
        DayEntry earlier;
        earlier.date = serialFromQDate(duty.last());
        earlier.kind = EntryKind::TradeOut;
        earlier.minutes = 12 * 60;
        earlier.with = QStringLiteral("J. Smith");
        QVERIFY(window.form->entryStore().add(earlier).ok);
        prepare(window, day);
        QCOMPARE(QApplication::activeWindow(), window.form.get());
        play(window, presses);
        const DayFacts& facts = window.form->schedule().day(serialFromQDate(day));
        QCOMPARE(facts.entries.size(), 1);
        const DayEntry& made = facts.entries[0];
        QCOMPARE(made.kind, kind);
        QCOMPARE(made.with, with);
        QCOMPARE(made.leaveType, leaveType);
        QCOMPARE(made.minutes, minutes);
        QCOMPARE(made.start, start);
        QVERIFY(facts.allFit());
        qInfo("%lld key presses (goal %d)", static_cast<long long>(presses.size()), goal);
        QVERIFY(presses.size() <= goal);
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
