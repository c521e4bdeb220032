// The Calendar page's context menu and the calendar export dialog, driven through real events on
// the real window: right click, the Menu key, Shift+F10 and Ctrl+E, the dialog's controls, and
// the file that comes out.
#include "windowfixture.h"

#include "dialogs/exportdialog.h"
#include "platform/errorreport.h"
#include "rotation/rotation.h"
#include "settings/settingsfile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QPushButton>

namespace {

// Answers the file dialog with a path and remembers what it was asked.
class FileChooserStub {
public:
    explicit FileChooserStub(QString answer) : m_answer(std::move(answer)) {
        setSaveFileChooser([this](QWidget*, const QString& suggested) {
            suggestions << suggested;
            return m_answer;
        });
    }
    ~FileChooserStub() { setSaveFileChooser({}); }
    FileChooserStub(const FileChooserStub&) = delete;
    FileChooserStub& operator=(const FileChooserStub&) = delete;

    QStringList suggestions;

private:
    QString m_answer;
};

class ReportedErrors {
public:
    ReportedErrors() {
        setErrorReporter([this](const QString& message) { messages << message; });
    }
    ~ReportedErrors() { setErrorReporter({}); }
    ReportedErrors(const ReportedErrors&) = delete;
    ReportedErrors& operator=(const ReportedErrors&) = delete;

    QStringList messages;
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QWidget* focusedWidget(WindowFixture& window) {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused : window.form.get();
}

QMenu* calendarMenu(WindowFixture& window) {
    return window.form->calendarMenu()->menu();
}

ExportCalendarDialog* exportDialog(WindowFixture& window) {
    return window.form->findChild<ExportCalendarDialog*>();
}

// A check box takes clicks on its box and its text only, not on the rest of its row.
void clickCheckBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
}

template <typename T> T* control(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QLatin1StringView(name));
}

enum class Opening { RightClick, MenuKey, ShiftF10, CtrlE };

// A right click on a day (through the window, as the platform delivers it, so that Qt makes
// the context menu event), the Menu key or Shift+F10.
void openMenu(WindowFixture& window, Opening opening) {
    if (opening == Opening::RightClick) {
        Rectangle* cell = window.form->gR[17];
        const QPoint inWindow = cell->mapTo(window.form.get(), cell->rect().center());
        QTest::mouseClick(window.form->windowHandle(), Qt::RightButton, {}, inWindow);
        return;
    }
    QTest::keyClick(focusedWidget(window), opening == Opening::MenuKey ? Qt::Key_Menu : Qt::Key_F10,
                    opening == Opening::ShiftF10 ? Qt::ShiftModifier : Qt::NoModifier);
}

// Ctrl+E, or the menu opened as the row names it and its entry above the last picked with the
// keyboard.
void openExport(WindowFixture& window, Opening opening) {
    if (opening == Opening::CtrlE) {
        QTest::keyClick(focusedWidget(window), Qt::Key_E, Qt::ControlModifier);
        return;
    }
    QMenu* menu = calendarMenu(window);
    openMenu(window, opening);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Up); // from no entry, Up wraps to the last one
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Return);
}

} // namespace

class CalendarExportTest : public QObject {
    Q_OBJECT

private slots:
    void menuOpensWithoutMovingTheSelection_data();
    void menuOpensWithoutMovingTheSelection();
    void notOnOtherPages();
    void exportThroughTheDialog_data();
    void exportThroughTheDialog();
    void withoutAssignmentTheUserPicksOne();
    void rangeStaysInOrderAndInView();
    void cancelAndFailure();
    void keepUpToDateAndTimedShifts();
};

void CalendarExportTest::menuOpensWithoutMovingTheSelection_data() {
    QTest::addColumn<Opening>("opening");
    QTest::newRow("right click on a day") << Opening::RightClick;
    QTest::newRow("Menu key") << Opening::MenuKey;
    QTest::newRow("Shift+F10") << Opening::ShiftF10;
}

void CalendarExportTest::menuOpensWithoutMovingTheSelection() {
    QFETCH(Opening, opening);
    WindowFixture window;
    QVERIFY(window.ready);
    const DateSerial selected = window.state().SelectedDate;
    QMenu* menu = calendarMenu(window);
    openMenu(window, opening);
    QTRY_VERIFY(menu->isVisible());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Edit day\u2026", "&Trade away\u2026", "&Leave\u2026",
                                 "&Overtime\u2026", "", "Undo", "Redo", "Hours\u2026\tCtrl+H",
                                 "Assignment history\u2026", "", "Print\u2026\tCtrl+P",
                                 "Save as PDF\u2026", "Export to calendar (.ics)\u2026\tCtrl+E",
                                 "&Publish to a calendar server\u2026"}));
    QCOMPARE(window.state().SelectedDate, selected);
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
    QVERIFY(!exportDialog(window));
    // The navigation keys still work afterwards.
    QTest::keyClick(focusedWidget(window), Qt::Key_Down);
    QCOMPARE(window.state().SelectedDate, selected + 7);
}

void CalendarExportTest::notOnOtherPages() {
    WindowFixture window;
    QVERIFY(window.ready);
    window.form->tabCtrl->setActivePage(window.form->tabSettings);
    QTest::keyClick(focusedWidget(window), Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(focusedWidget(window), Qt::Key_Menu);
    QVERIFY(!exportDialog(window));
    QVERIFY(!calendarMenu(window)->isVisible());
}

void CalendarExportTest::exportThroughTheDialog_data() {
    QTest::addColumn<Opening>("opening");
    QTest::newRow("Ctrl+E") << Opening::CtrlE;
    QTest::newRow("right click, entry above the last") << Opening::RightClick;
    QTest::newRow("Menu key, entry above the last") << Opening::MenuKey;
}

void CalendarExportTest::exportThroughTheDialog() {
    QFETCH(Opening, opening);
    WindowFixture window; // today is 10 December 2026
    QVERIFY(window.ready);
    // The Settings page's current choices, not yet saved, are what the dialog starts from.
    window.form->cbPlt->setCurrentIndex(assignmentIndex("B2"));
    window.form->swPaydays->setChecked(true);
    window.form->edAgency->setText("Brandweer; Zuid");
    QTemporaryDir folder;
    FileChooserStub chooser(folder.filePath("mine.ics"));

    openExport(window, opening);
    ExportCalendarDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = exportDialog(window)) && dialog->isVisible());
    QCOMPARE(control<QComboBox>(dialog, "cbExportPlt")->currentText(), QStringLiteral("B2"));
    QCOMPARE(control<QDateEdit>(dialog, "deExportFrom")->date(), QDate(2026, 12, 1));
    QCOMPARE(control<QDateEdit>(dialog, "deExportTo")->date(), QDate(2027, 12, 31));
    QVERIFY(control<QCheckBox>(dialog, "chkDutyDays")->isChecked());
    QVERIFY(control<QCheckBox>(dialog, "chkRdos")->isChecked());
    QVERIFY(control<QCheckBox>(dialog, "chkPaydays")->isChecked());
    QVERIFY(!control<QCheckBox>(dialog, "chkPayPeriods")->isChecked());

    control<QDateEdit>(dialog, "deExportTo")->setDate(QDate(2026, 12, 31));
    QCheckBox* rdos = control<QCheckBox>(dialog, "chkRdos");
    clickCheckBox(rdos);
    QVERIFY(!rdos->isChecked());
    QPushButton* exportButton = control<QPushButton>(dialog, "bExport");
    QTest::mouseClick(exportButton, Qt::LeftButton, {}, exportButton->rect().center());

    QCOMPARE(chooser.suggestions, QStringList{"tourwise-B2.ics"});
    const QByteArray written = readFile(folder.filePath("mine.ics"));
    QVERIFY(written.startsWith("BEGIN:VCALENDAR\r\n"));
    QVERIFY(written.contains("X-WR-CALNAME:Brandweer\\; Zuid\r\n"));
    QVERIFY(written.contains("DTSTART;VALUE=DATE:202612"));
    QVERIFY(!written.contains("DTSTART;VALUE=DATE:202611"));
    QVERIFY(written.contains("SUMMARY:On duty \xe2\x80\x93 crew B\r\n"));
    QVERIFY(written.contains("SUMMARY:Payday\r\n"));
    QVERIFY(!written.contains("SUMMARY:RDO"));
    QVERIFY(!written.contains(" begins"));
    QVERIFY(!written.contains("DTSTART;VALUE=DATE:2027"));
    QTRY_VERIFY(!exportDialog(window));
}

void CalendarExportTest::withoutAssignmentTheUserPicksOne() {
    WindowFixture window; // the assignment is "RDO"
    QVERIFY(window.ready);
    QTemporaryDir folder;
    FileChooserStub chooser(folder.filePath("picked.ics"));
    QTest::keyClick(focusedWidget(window), Qt::Key_E, Qt::ControlModifier);
    ExportCalendarDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = exportDialog(window)) && dialog->isVisible());
    QComboBox* group = control<QComboBox>(dialog, "cbExportPlt");
    QPushButton* exportButton = control<QPushButton>(dialog, "bExport");
    QCOMPARE(group->currentIndex(), -1);
    QVERIFY(!exportButton->isEnabled());
    // Return does not export either while no group is chosen.
    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(chooser.suggestions.isEmpty());

    group->setFocus();
    QTest::keyClick(group, Qt::Key_Down); // the first group
    QTest::keyClick(group, Qt::Key_Down);
    QCOMPARE(group->currentText(), QStringLiteral("A2"));
    QVERIFY(exportButton->isEnabled());
    // With nothing to include there is nothing to export.
    for (const char* name : {"chkDutyDays", "chkRdos"}) {
        QCheckBox* box = control<QCheckBox>(dialog, name);
        clickCheckBox(box);
    }
    QVERIFY(!exportButton->isEnabled());
    QCheckBox* rdos = control<QCheckBox>(dialog, "chkRdos");
    clickCheckBox(rdos);
    QTest::mouseClick(exportButton, Qt::LeftButton, {}, exportButton->rect().center());
    const QByteArray written = readFile(folder.filePath("picked.ics"));
    QVERIFY(written.contains("SUMMARY:RDO A2\r\n"));
    QVERIFY(!written.contains("crew"));
}

void CalendarExportTest::rangeStaysInOrderAndInView() {
    Schedule days;
    days.setCurrentAssignment(QStringLiteral("B2"));
    ExportCalendarDialog dialog(days, {false, false, "x", serialFromQDate(QDate(2060, 6, 15))});
    QDateEdit* from = control<QDateEdit>(&dialog, "deExportFrom");
    QDateEdit* to = control<QDateEdit>(&dialog, "deExportTo");
    QCOMPARE(from->date(), QDate(2060, 6, 1));
    QCOMPARE(to->date(), QDate(2060, 12, 31)); // next year is past the view range
    from->setDate(QDate(2061, 3, 1));
    QCOMPARE(from->date(), QDate(2060, 12, 31));
    to->setDate(QDate(2015, 1, 1));
    QCOMPARE(to->date(), QDate(2016, 1, 1));
    QCOMPARE(from->date(), QDate(2016, 1, 1)); // followed the end back
    to->setDate(QDate(2016, 3, 1));
    from->setDate(QDate(2016, 4, 1));
    QCOMPARE(to->date(), QDate(2016, 4, 1));
    const CalendarExport request = dialog.request();
    QCOMPARE(qdateFromSerial(request.range.first), QDate(2016, 4, 1));
    QCOMPARE(qdateFromSerial(request.range.last), QDate(2016, 4, 1));
}

void CalendarExportTest::cancelAndFailure() {
    WindowFixture window;
    QVERIFY(window.ready);
    window.form->cbPlt->setCurrentIndex(assignmentIndex("A5"));
    QTemporaryDir folder;
    QFile blocker(folder.filePath("plain"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportedErrors errors;
    // How often the file dialog was asked; -1 when the export dialog did not come and go.
    const auto exportTo = [&](const QString& answer, Qt::Key closingKey) -> qsizetype {
        FileChooserStub chooser(answer);
        window.form->activateWindow(); // the platform may leave no window active after a dialog
        if (!QTest::qWaitForWindowActive(window.form.get()))
            return -2;
        QTest::keyClick(focusedWidget(window), Qt::Key_E, Qt::ControlModifier);
        ExportCalendarDialog* dialog = nullptr;
        if (!QTest::qWaitFor(
                [&] { return (dialog = exportDialog(window)) && dialog->isVisible(); }))
            return -1;
        QTest::keyClick(dialog, closingKey);
        if (!QTest::qWaitFor([&] { return !exportDialog(window); }))
            return -1;
        return chooser.suggestions.size();
    };
    QCOMPARE(exportTo(folder.filePath("never.ics"), Qt::Key_Escape), 0); // the dialog cancelled
    QCOMPARE(exportTo(QString(), Qt::Key_Return), 1); // the file dialog cancelled
    QVERIFY(errors.messages.isEmpty());
    const QString blocked = folder.filePath("plain/out.ics");
    QCOMPARE(exportTo(blocked, Qt::Key_Return), 1);
    QCOMPARE(errors.messages.size(), 1);
    QVERIFY2(errors.messages.first().startsWith("Unable to write to " + blocked),
             qPrintable(errors.messages.first()));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"plain"});
}

// "Keep this file up to date" stores the written file through the callback and switches off
// again when unchecked; the user's entries and "from shift start to shift start" reach the file.
void CalendarExportTest::keepUpToDateAndTimedShifts() {
    QWidget parent;
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QTemporaryDir folder;
    const QString path = folder.filePath("kept.ics");
    QStringList stored;
    KeptCalendar kept;
    DayEntry traded;
    traded.id = QUuid(QStringLiteral("{7e0f1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}"));
    traded.date = serialFromQDate(QDate(2026, 12, 11)); // a duty day of B2
    traded.kind = EntryKind::TradeOut;
    traded.with = QStringLiteral("J. Smith");
    Schedule days;
    days.setCurrentAssignment(QStringLiteral("B2"));
    days.setEntries({traded});
    days.setChangeCounters({{dayKey(traded.date), 3}});
    kept.setFile = [&stored](const QString& file, bool timed) {
        stored << (timed ? file + QStringLiteral(" (timed)") : file);
    };
    const CalendarExportChoices choices{false, false, "x", serialFromQDate(QDate(2026, 12, 10))};
    const auto exportOnce = [&](const QStringList& clicks, const QString& answer) {
        FileChooserStub chooser(answer);
        OpenCalendarExport(&parent, days, choices, kept);
        auto* dialog = parent.findChild<ExportCalendarDialog*>();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog))
            return QStringList{QStringLiteral("no dialog")};
        for (const QString& name : clicks)
            clickCheckBox(control<QCheckBox>(dialog, qPrintable(name)));
        QPushButton* exportButton = control<QPushButton>(dialog, "bExport");
        QTest::mouseClick(exportButton, Qt::LeftButton, {}, exportButton->rect().center());
        if (!QTest::qWaitFor([&] { return !parent.findChild<ExportCalendarDialog*>(); }))
            return QStringList{QStringLiteral("dialog still open")};
        return chooser.suggestions;
    };

    QCOMPARE(exportOnce({"chkKeepUpToDate", "chkTimedShifts"}, path),
             QStringList{"tourwise-B2.ics"});
    QCOMPARE(stored, QStringList{path + " (timed)"});
    const QByteArray written = readFile(path);
    QVERIFY(written.contains("DTSTART:20261214T080000\r\nDTEND:20261215T080000\r\n"));
    QVERIFY(written.contains("SEQUENCE:3\r\nSUMMARY:Off \xe2\x80\x93 J. Smith works (trade)\r\n"));

    // Opened again with the file kept: both boxes are on as the kept file has them, the kept
    // file is suggested, and unchecking the keeping switches it off.
    kept.file = path;
    kept.timedShifts = true;
    const QString other = folder.filePath("once.ics");
    QCOMPARE(exportOnce({}, path), QStringList{path});
    QCOMPARE(stored, (QStringList{path + " (timed)", path + " (timed)"}));
    QCOMPARE(exportOnce({"chkKeepUpToDate", "chkTimedShifts"}, other),
             QStringList{"tourwise-B2.ics"});
    QCOMPARE(stored, (QStringList{path + " (timed)", path + " (timed)", QString()}));
    QVERIFY(readFile(other).contains("DTSTART;VALUE=DATE:20261214\r\n"));

    // Without a place to store it the box is not offered.
    ExportCalendarDialog plain(days, choices);
    QVERIFY(control<QCheckBox>(&plain, "chkKeepUpToDate")->isHidden());
}

QTEST_MAIN(CalendarExportTest)
#include "tst_calendarexport.moc"
