// A member who moves from B2 to A3 on 1 July, as the window is used: the group chosen on the
// Settings page, Save, the question answered with the day typed in. January stays crew B's with
// its entries and the hours of its pay period, July is crew A's, and Undo puts B2 back.
#include "windowfixture.h"

#include "days/entrystore.h"
#include "days/schedule.h"
#include "dialogs/assignmentdialog.h"
#include "dialogs/hoursdialog.h"
#include "rotation/rotation.h"
#include "settings/settingsfile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QtTest>

namespace {

// The first day of the month on which `group` is on duty.
QDate dutyDay(const QString& group, int year, int month) {
    QDate date(year, month, 1);
    while (ShiftLetter(serialFromQDate(date), group) != group[0])
        date = date.addDays(1);
    return date;
}

int cellOf(WindowFixture& window, QDate date) {
    const auto& dates = window.state().GridDates;
    for (size_t k = 0; k < dates.size(); ++k)
        if (qdateFromSerial(dates[k]) == date)
            return static_cast<int>(k);
    return -1;
}

QString readerName(WindowFixture& window, QDate date) {
    window.select(date);
    return window.form->gR[static_cast<size_t>(cellOf(window, date))]->accessibleText();
}

} // namespace

class AssignmentChangeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QDir().mkpath(m_config.filePath(QStringLiteral("Kestrand/Tourwise")));
        QFile settings(m_config.filePath(QStringLiteral("Kestrand/Tourwise/Tourwise.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Config]\r\nRDO=B2\r\n");
    }

    void moveFromB2ToA3InJuly() {
        WindowFixture window(QDate(2026, 12, 10), QLocale(QLocale::English, QLocale::UnitedStates),
                             m_config.path());
        QVERIFY(window.ready);
        TMainForm& form = *window.form;
        // A January trade of B2's, and the hours of its pay period as they are.
        const QDate january = dutyDay(QStringLiteral("B2"), 2026, 1);
        DayEntry trade;
        trade.date = serialFromQDate(january);
        trade.kind = EntryKind::TradeOut;
        trade.with = QStringLiteral("J. Smith");
        QVERIFY(form.entryStore().add(trade).ok);
        const HoursTotals before = form.schedule().payPeriodOf(trade.date).totals;
        QCOMPARE(before.tradedOut, 24 * 60);

        // The Settings page: A3 from the list by keys, then Save.
        QTabBar* bar = form.tabCtrl->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTest::mouseClick(form.cbPlt, Qt::LeftButton);
        QAbstractItemView* list = form.cbPlt->view();
        QTRY_VERIFY(list->window()->isVisible());
        list->setCurrentIndex(list->model()->index(assignmentIndex(QStringLiteral("A3")), 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->window()->isVisible());
        QTest::mouseClick(form.bSave, Qt::LeftButton);

        // The question, with the day typed where the focus is, and Return.
        AssignmentChangeDialog* question = nullptr;
        QTRY_VERIFY((question = form.findChild<AssignmentChangeDialog*>()) &&
                    question->isVisible());
        QTRY_VERIFY(QApplication::focusWidget() &&
                    QApplication::focusWidget()->window() == question);
        QCOMPARE(question->findChild<QLabel*>(QStringLiteral("lblAssignmentQuestion"))->text(),
                 QStringLiteral("From which day is A3 your assignment?"));
        auto* effective = question->findChild<QDateEdit*>(QStringLiteral("deEffective"));
        // It starts at the first day of the pay period of today.
        QCOMPARE(serialFromQDate(effective->date()),
                 PayPeriodFirstDay(serialFromYmd(2026, 12, 10), form.state().PayPeriodStart));
        // Each section moves on to the next once it is full, as a user types a date.
        QTest::keyClicks(WindowFixture::keyTarget(), QStringLiteral("07012026"));
        QCOMPARE(effective->date(), QDate(2026, 7, 1));
        window.typeKey(Qt::Key_Return);
        QTRY_VERIFY(!form.findChild<AssignmentChangeDialog*>());
        QTRY_COMPARE(form.tabCtrl->activePage(), form.tabCalendar);

        // Both files tell the same story.
        QCOMPARE(loadSettings(form.state().IniPath, QLocale::c()).assignment, QStringLiteral("A3"));
        QCOMPARE(form.entryStore().earlierAssignments(),
                 (QList<AssignmentPeriod>{{QStringLiteral("B2"), serialFromYmd(2026, 6, 30)}}));

        // January: still crew B's day of the user, traded away, its mark and its hours as they
        // were.
        const QString januaryName = readerName(window, january);
        QVERIFY2(januaryName.contains(QLatin1String("crew B on duty")) &&
                     januaryName.contains(QLatin1String("traded away: J. Smith works")) &&
                     januaryName.contains(QLatin1String("your assignment then B2")),
                 qPrintable(januaryName));
        const auto januaryCell = static_cast<size_t>(cellOf(window, january));
        QCOMPARE(form.gT[januaryCell]->cornerMark().shape, FreeText::CornerMark::Shape::Ring);
        QVERIFY(!form.gT[januaryCell]->cornerMark().flagged); // the trade still fits
        QVERIFY2(form.lblStatus->text().contains(QLatin1String("(you: B2)")),
                 qPrintable(form.lblStatus->text()));
        QCOMPARE(form.schedule().payPeriodOf(trade.date).totals, before);

        // July: A3's duty days, in the window's crew A colour.
        const QDate july = dutyDay(QStringLiteral("A3"), 2026, 7);
        const QString julyName = readerName(window, july);
        QVERIFY2(julyName.contains(QLatin1String("crew A on duty")) &&
                     !julyName.contains(QLatin1String("your assignment then")),
                 qPrintable(julyName));
        QCOMPARE(form.gR[static_cast<size_t>(cellOf(window, july))]->fill(),
                 form.state().APltColor);

        // The Hours of January's period, opened on the day: what they were.
        window.select(january);
        window.typeKey(Qt::Key_H, Qt::ControlModifier);
        HoursDialog* hours = nullptr;
        QTRY_VERIFY((hours = form.findChild<HoursDialog*>()) && hours->isVisible());
        auto* pay = hours->findChild<QTableView*>(QStringLiteral("tvPayPeriods"));
        const int row = pay->currentIndex().row();
        QCOMPARE(pay->model()->index(row, 6).data().toString(), QStringLiteral("24"));
        QCOMPARE(pay->model()->index(row, 3).data().toString(), hoursText(before.scheduled));
        hours->reject();
        QTRY_VERIFY(!form.findChild<HoursDialog*>());

        // Ctrl+Z takes the change back: B2 in the settings file and on every day.
        window.typeKey(Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(loadSettings(form.state().IniPath, QLocale::c()).assignment,
                     QStringLiteral("B2"));
        QVERIFY(form.entryStore().earlierAssignments().isEmpty());
        QCOMPARE(form.cbPlt->currentText(), QStringLiteral("B2"));
        QCOMPARE(form.schedule().day(serialFromQDate(july)).assignment, QStringLiteral("B2"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(AssignmentChangeTest)
#include "tst_assignmentchange.moc"
