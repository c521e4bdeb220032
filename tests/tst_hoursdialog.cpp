// The Hours dialog driven by keys as a user drives it: it opens on the selected day's periods,
// the year, the lists and the three settings are reached by keyboard alone, settings are stored
// without touching an entry, "Save as CSV…" writes the command line's CSV, and Esc closes it.
#include "core/clock.h"
#include "days/banktext.h"
#include "days/entrystore.h"
#include "days/hourstable.h"
#include "days/schedule.h"
#include "dialogs/hoursdialog.h"
#include "editor/dayediting.h"
#include "rotation/rotation.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

DateSerial day(int year, int month, int dayOfMonth) {
    return serialFromYmd(year, month, dayOfMonth);
}

QString cell(const QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

QString currentFirstDay(const QTableView* view) {
    return cell(view, view->currentIndex().row(), view->objectName() == "tvPayPeriods" ? 1 : 0);
}

// Runs `act` on the next modal window once it is up and has focus (a file dialog that exec()
// opens inside the key press that asked for it).
// Runs `act` on the next modal dialog of that name once it is up and has the focus.
void whenModalNamed(const QString& name, const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act, name] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name || !modal->isVisible() ||
            !QApplication::focusWidget() || QApplication::focusWidget()->window() != modal)
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

void whenModalDialog(const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!qobject_cast<QFileDialog*>(modal) || !QApplication::focusWidget() ||
            QApplication::focusWidget()->window() != modal)
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

} // namespace

class HoursDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensOnTheSelectedDaysPeriods();
    void keyboardAlone();
    void saveAsCsv_data();
    void saveAsCsv();
    void leaveBanksByKeys();

private:
    HoursDialog* open(DateSerial selected, LeaveTab::ChangeBanks changeBanks = {});

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<EntryStore> m_store;
    std::unique_ptr<Schedule> m_schedule;
    std::unique_ptr<QWidget> m_parent;
    DateSerial m_tradedDay = 0;
};

void HoursDialogTest::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    // The file dialog starts in the home folder: here, the test's own.
    qputenv("HOME", QFile::encodeName(m_folder->path()));
    m_store = std::make_unique<EntryStore>(m_folder->filePath(QStringLiteral("days.sqlite")));
    m_schedule = std::make_unique<Schedule>(m_store.get());
    m_schedule->setCurrentAssignment(QStringLiteral("B2"));
    // A whole shift traded away to Smith on a B2 duty day, not yet paid back.
    m_tradedDay = day(2026, 3, 1);
    while (ShiftLetter(m_tradedDay, u"B2") != u'B')
        ++m_tradedDay;
    DayEntry trade;
    trade.date = m_tradedDay;
    trade.kind = EntryKind::TradeOut;
    trade.with = QStringLiteral("Smith");
    QVERIFY(m_store->add(trade).ok);
    m_parent = std::make_unique<QWidget>();
    m_parent->resize(300, 200);
    m_parent->show();
    m_parent->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_parent.get()));
}

void HoursDialogTest::cleanup() {
    m_parent.reset();
    m_schedule.reset();
    m_store.reset();
    m_folder.reset();
}

HoursDialog* HoursDialogTest::open(DateSerial selected, LeaveTab::ChangeBanks changeBanks) {
    OpenHoursDialog(m_parent.get(), *m_schedule, selected, std::move(changeBanks));
    auto* dialog = m_parent->findChild<HoursDialog*>();
    if (!dialog)
        return nullptr;
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog))
        return nullptr;
    // On a desktop the window manager hands the keyboard over a moment after activation.
    if (!QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }))
        return nullptr;
    return dialog;
}

void HoursDialogTest::opensOnTheSelectedDaysPeriods() {
    // 5 January 2026 lies in the pay period that began on 28 December 2025, which the lists of
    // 2026 hold.
    HoursDialog* dialog = open(day(2026, 1, 5));
    QVERIFY(dialog);
    QCOMPARE(dialog->year(), 2026);
    const auto* pay = dialog->findChild<QTableView*>(QStringLiteral("tvPayPeriods"));
    const auto* work = dialog->findChild<QTableView*>(QStringLiteral("tvWorkPeriods"));
    QCOMPARE(currentFirstDay(pay), QStringLiteral("2025-12-28"));
    QCOMPARE(cell(pay, pay->currentIndex().row(), 0), QStringLiteral("PP2"));
    QCOMPARE(currentFirstDay(work), QStringLiteral("2025-12-14")); // 28-day periods hold it too
    QCOMPARE(QApplication::focusWidget(), pay);
}

void HoursDialogTest::keyboardAlone() {
    QPointer<HoursDialog> dialog = open(m_tradedDay);
    QVERIFY(dialog);
    const QList<DayEntry> entries = m_store->allEntries();
    auto* pay = dialog->findChild<QTableView*>(QStringLiteral("tvPayPeriods"));
    auto* tabs = dialog->findChild<QTabWidget*>(QStringLiteral("tabHours"));
    const auto key = [&](int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), modifiers);
    };
    // The shown period holds the traded day: 24 hours traded away, still worked for FLSA.
    const int row = pay->currentIndex().row();
    QCOMPARE(cell(pay, row, 6), QStringLiteral("24"));
    QCOMPARE(cell(pay, row, 9), cell(pay, row, 3));
    key(Qt::Key_Down);
    QCOMPARE(pay->currentIndex().row(), row + 1);

    // The year: Alt+Y, then Up.
    key(Qt::Key_Y, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("seHoursYear"));
    key(Qt::Key_Up);
    QCOMPARE(dialog->year(), 2027);
    // The first period holding a day of the year began in the year before.
    QCOMPARE(cell(pay, 0, 1), QStringLiteral("2026-12-27"));
    QCOMPARE(cell(pay, 1, 1), QStringLiteral("2027-01-10"));

    // The lists by their mnemonics; the ledger shows the open trade.
    key(Qt::Key_T, Qt::AltModifier);
    QCOMPARE(tabs->currentIndex(), 2);
    const auto* trades = dialog->findChild<QTableView*>(QStringLiteral("tvTrades"));
    QCOMPARE(cell(trades, 0, 0), QStringLiteral("Smith"));
    QCOMPARE(cell(trades, 0, 3), QStringLiteral("-24"));
    QCOMPARE(cell(trades, 0, 4), QStringLiteral("open"));
    key(Qt::Key_W, Qt::AltModifier);
    QCOMPARE(tabs->currentIndex(), 1);

    // The settings: a 14-day work period typed in, the shift start an hour earlier.
    key(Qt::Key_L, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("seWorkPeriodDays"));
    key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("14"));
    QCOMPARE(m_store->hoursSettings().workPeriodDays, 14);
    const auto* work = dialog->findChild<QTableView*>(QStringLiteral("tvWorkPeriods"));
    QCOMPARE(cell(work, 0, 2), QStringLiteral("14"));
    QCOMPARE(cell(work, 0, 4), QStringLiteral("106"));
    key(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("teShiftStart"));
    key(Qt::Key_Down);
    QCOMPARE(m_store->hoursSettings().shiftStart, 7 * 60);
    QCOMPARE(m_store->allEntries(), entries); // settings change no entry

    key(Qt::Key_Escape);
    QTRY_VERIFY(!dialog); // closed and deleted
}

void HoursDialogTest::saveAsCsv_data() {
    QTest::addColumn<Qt::Key>("list");
    QTest::addColumn<QString>("header");
    QTest::newRow("pay periods") << Qt::Key_P
                                 << "period,first,last,scheduled,worked,leave,traded_out,"
                                    "traded_in,extra,flsa";
    QTest::newRow("work periods") << Qt::Key_W << "first,last,days,flsa,threshold,overtime";
    QTest::newRow("trades") << Qt::Key_T << "with,they_worked,i_worked,balance";
}

void HoursDialogTest::saveAsCsv() {
    QFETCH(Qt::Key, list);
    QFETCH(QString, header);
    HoursDialog* dialog = open(m_tradedDay);
    QVERIFY(dialog);
    QTest::keyClick(QApplication::focusWidget(), list, Qt::AltModifier);
    const QString path = m_folder->filePath(QStringLiteral("out.csv"));
    whenModalDialog([&](QWidget*) {
        QWidget* name = QApplication::focusWidget();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("out.csv"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
    // A button's mnemonic clicks it a moment later, as a click would look.
    QTRY_VERIFY(QFileInfo::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // The same CSV as the command line prints for the year.
    const DateSerial first = day(2026, 1, 1);
    const DateSerial last = day(2026, 12, 31);
    const HoursTable expected =
        list == Qt::Key_P   ? payPeriodTable(m_schedule->payPeriods(first, last))
        : list == Qt::Key_W ? workPeriodTable(m_schedule->workPeriods(first, last))
                            : tradeTable(m_schedule->trades());
    QCOMPARE(text, csvText(expected));
    QVERIFY(text.startsWith(header + u'\n'));
    QVERIFY(text.count(u'\n') > 1);
}

// A vacation bank set up on the Leave tab by keys alone: its rows by pay period, the periods after
// today marked projected, the leave of the traded-away day's neighbour drawn from it, and the
// change one step of the undo history.
void HoursDialogTest::leaveBanksByKeys() {
    setTodayProvider([] { return serialFromYmd(2026, 3, 20); });
    DayEditing editing(*m_store);
    DateSerial leaveDay = m_tradedDay + 1;
    while (ShiftLetter(leaveDay, u"B2") != u'B')
        ++leaveDay;
    DayEntry leave;
    leave.date = leaveDay;
    leave.kind = EntryKind::Leave;
    leave.leaveType = LeaveType::Vacation;
    QVERIFY(m_store->add(leave).ok);
    QPointer<HoursDialog> dialog =
        open(m_tradedDay, [&](const QList<BankSetup>& after, const QString& text) {
            return editing.changeBankSetups(m_schedule->bankSetups(), after, text);
        });
    QVERIFY(dialog);
    const auto key = [](int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), modifiers);
    };
    key(Qt::Key_E, Qt::AltModifier);
    QCOMPARE(dialog->findChild<QTabWidget*>(QStringLiteral("tabHours"))->currentIndex(), 3);
    auto* balances = dialog->findChild<QTableView*>(QStringLiteral("tvBalances"));
    QCOMPARE(balances->model()->rowCount(), 0);

    // Set up: vacation from the pay period of 11 January, 100 h, 7.5 h a period, by keys.
    whenModalNamed(QStringLiteral("dlgBankSetup"), [&](QWidget*) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        // The digits in the field's own order; each part moves on once it is full.
        const auto* asOf = qobject_cast<QDateEdit*>(QApplication::focusWidget());
        QVERIFY(asOf);
        QTest::keyClicks(QApplication::focusWidget(), asOf->displayFormat().startsWith(u'y')
                                                          ? QStringLiteral("20260111")
                                                          : QStringLiteral("01112026"));
        QCOMPARE(asOf->date(), QDate(2026, 1, 11));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("100"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7.5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    key(Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(m_schedule->bankSetups().size(), 1);
    const BankSetup setup = m_schedule->bankSetups().first();
    QCOMPARE(setup.bank, BankKind::Vacation);
    QCOMPARE(setup.asOf, serialFromYmd(2026, 1, 11));
    QCOMPARE(setup.balance, Hundredths{10000});
    QCOMPARE(setup.accrual, Hundredths{750});
    QCOMPARE(editing.history()->count(), 1);

    // One row a pay period holding a day of the year from the set-up on; those after today
    // projected; the leave day's period uses its 24 hours.
    QTRY_VERIFY(balances->model()->rowCount() > 20);
    QCOMPARE(cell(balances, 0, 1), QStringLiteral("2026-01-11"));
    QCOMPARE(cell(balances, 0, 4), QStringLiteral("100"));
    int projected = 0;
    for (int row = 0; row < balances->model()->rowCount(); ++row)
        projected += cell(balances, row, 0).endsWith(QLatin1String("(projected)"));
    QVERIFY(projected > 15 && projected < balances->model()->rowCount());
    // The file holds exactly what --balances prints.
    const QString csv = csvText(bankTable(
        m_schedule->banks().rows(serialFromYmd(2026, 1, 1), serialFromYmd(2026, 12, 31))));
    QVERIFY(csv.contains(QStringLiteral(",vacation,100,0,0,0,0,7.5,107.5\n")));
    QVERIFY(csv.contains(QStringLiteral(",24,")));

    editing.history()->undo();
    QCOMPARE(m_schedule->bankSetups().size(), 0);
    QTRY_COMPARE(balances->model()->rowCount(), 0);
    setTodayProvider({});
}

QTEST_MAIN(HoursDialogTest)
#include "tst_hoursdialog.moc"
