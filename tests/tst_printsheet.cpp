// "Print…" and "Save as PDF…" driven as a user does: the sheet choice and the file dialog get
// real key and mouse events; the written PDF is read back with pdfinfo and pdftotext.
#include "dialogs/printsheet.h"
#include "platform/errorreport.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace {

// Runs `act` on the next modal dialog of type T once a user could use it: shown, placed by the
// window manager and holding the keyboard focus (the dialog's exec() blocks the caller, so the
// test acts from inside its event loop). Merely visible is too early on a desktop: the dialog
// may still have its size from before its layout, so that a click misses its squeezed OK button
// and exec() never returns, and a file dialog takes the focus into its name field a moment later.
template <typename T> void whenReady(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow() ||
            !dialog->windowHandle() || !dialog->windowHandle()->isExposed())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

// Where a key typed now arrives: the focused control of the active dialog, else the dialog.
QWidget* keyTarget(QDialog* dialog) {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused : dialog;
}

// Replaces the file name that the dialog suggests by `name` and presses Return, as a user types
// it. The name field holds the focus once the dialog is active.
void typeFileName(QFileDialog* dialog, const QString& name) {
    QWidget* field = keyTarget(dialog);
    QVERIFY(qobject_cast<QLineEdit*>(field));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}

void clickOk(QDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

QString pdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

QString pdfPages(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished();
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    return QRegularExpression(QStringLiteral("Pages:\\s*(\\d+)")).match(info).captured(1);
}

} // namespace

class TestPrintSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void requestTakesTheWindowsChoices();
    void chooserReturnsWhatTheUserPicked_data();
    void chooserReturnsWhatTheUserPicked();
    void saveAsPdfWritesTheChosenSheet();
    void saveAsPdfReportsAnUnwritableTarget();

private:
    QString documents() const { return m_home.filePath(QStringLiteral("Documents")); }

    QTemporaryDir m_home;
};

// The file dialog opens in the Documents folder, which is then this test's own, as is where Qt
// keeps the dialog's last folder.
void TestPrintSheet::initTestCase() {
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
}

void TestPrintSheet::init() {
    QFile::remove(documents());
    QDir(documents()).removeRecursively();
    QVERIFY(QDir().mkpath(documents()));
}

void TestPrintSheet::requestTakesTheWindowsChoices() {
    WindowFixture window;
    QVERIFY(window.ready);
    TMainForm& form = *window.form;
    window.select(QDate(2027, 3, 4));
    form.cbPlt->setCurrentIndex(assignmentIndex(QStringLiteral("A6")));
    form.edAgency->setText(QStringLiteral("Northside Fire"));
    window.state().APltColor = Colors::Navy;
    const GridOverlays overlays{true, false, true};

    form.RefreshAll(window.state().SelectedDate);
    const SheetRequest request =
        sheetRequestFrom(window.state(), overlays, form.schedule(), form.edAgency->text());
    QCOMPARE(request.year, 2027);
    QCOMPARE(request.month, 3);
    QCOMPARE(request.schedule, &form.schedule());
    QCOMPARE(request.schedule->assignmentOn(serialFromYmd(2027, 3, 4)), QStringLiteral("A6"));
    QCOMPARE(request.agency, QStringLiteral("Northside Fire"));
    QCOMPARE(request.crewA, Colors::Navy);
    QVERIFY(request.paydays && !request.rdoGroups && request.payPeriods);
    QCOMPARE(request.schedule->payPeriodStart(), window.state().PayPeriodStart);
    QCOMPARE(qdateFromSerial(request.made), QDate(2026, 12, 10)); // the injected today
    QCOMPARE(request.locale, QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(!request.version.isEmpty());
}

void TestPrintSheet::chooserReturnsWhatTheUserPicked_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("month");
    QTest::addColumn<bool>("onlyMine");
    QTest::newRow("OK keeps the year sheet") << "ok" << true << false << false;
    QTest::newRow("click the month sheet, then OK") << "month" << true << true << false;
    QTest::newRow("Space on Only my days, Return") << "only-mine" << true << false << true;
    QTest::newRow("Escape cancels") << "escape" << false << false << false;
}

void TestPrintSheet::chooserReturnsWhatTheUserPicked() {
    QFETCH(QString, action);
    QFETCH(bool, accepted);
    QFETCH(bool, month);
    QFETCH(bool, onlyMine);
    QWidget parent;
    parent.show();
    SheetRequest request;
    request.year = 2026;
    request.month = 5;
    request.locale = QLocale(QLocale::English, QLocale::UnitedStates);

    QString yearText;
    whenReady<QDialog>([&](QDialog* dialog) {
        auto* year = dialog->findChild<QRadioButton*>(QStringLiteral("rbYearSheet"));
        yearText = year->text() + QLatin1Char('|') +
                   dialog->findChild<QRadioButton*>(QStringLiteral("rbMonthSheet"))->text();
        if (action == QLatin1String("ok")) {
            clickOk(dialog);
        } else if (action == QLatin1String("month")) {
            QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("rbMonthSheet")),
                              Qt::LeftButton);
            clickOk(dialog);
        } else if (action == QLatin1String("only-mine")) {
            // Tab from the sheet choice to the check box, as a keyboard user would.
            QTest::keyClick(keyTarget(dialog), Qt::Key_Tab);
            QTest::keyClick(keyTarget(dialog), Qt::Key_Space);
            QTest::keyClick(keyTarget(dialog), Qt::Key_Return);
        } else {
            QTest::keyClick(keyTarget(dialog), Qt::Key_Escape);
        }
    });
    QCOMPARE(ChooseSheet(&parent, QStringLiteral("Print"), request), accepted);
    QCOMPARE(yearText, QStringLiteral("Year sheet (2026)|Month sheet (May 2026)"));
    QCOMPARE(request.kind == SheetRequest::Kind::Month, month);
    QCOMPARE(request.onlyMyDays, onlyMine);
}

void TestPrintSheet::saveAsPdfWritesTheChosenSheet() {
    Schedule days;
    days.setCurrentAssignment(QStringLiteral("B2"));
    SheetRequest request;
    request.schedule = &days;
    request.agency = QStringLiteral("Velmora Fire");
    request.year = 2026;
    request.month = 5;
    request.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QWidget parent;
    parent.show();

    QStringList suggested;
    whenReady<QDialog>([&](QDialog* chooser) {
        QTest::mouseClick(chooser->findChild<QRadioButton*>(QStringLiteral("rbMonthSheet")),
                          Qt::LeftButton);
        whenReady<QFileDialog>([&](QFileDialog* files) {
            suggested = files->selectedFiles();
            typeFileName(files, QStringLiteral("may"));
        });
        clickOk(chooser);
    });
    setErrorReporter([](const QString& message) { QFAIL(qPrintable(message)); });
    SaveSheetAsPdf(&parent, request);
    setErrorReporter({});

    QCOMPARE(suggested, QStringList{documents() + QStringLiteral("/Velmora Fire May 2026.pdf")});
    const QString written = documents() + QStringLiteral("/may.pdf"); // the suffix is added
    QVERIFY(QFileInfo::exists(written));
    QCOMPARE(pdfPages(written), QStringLiteral("1"));
    QVERIFY(pdfText(written).contains(QStringLiteral("May 2026 · Assignment B2")));
}

void TestPrintSheet::saveAsPdfReportsAnUnwritableTarget() {
    SheetRequest request;
    request.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QWidget parent;
    parent.show();

    whenReady<QDialog>([&](QDialog* chooser) {
        whenReady<QFileDialog>([&](QFileDialog* files) {
            // The folder turns into a file between the dialog and the write, which the dialog
            // itself cannot prevent.
            QObject::connect(files, &QFileDialog::fileSelected, files, [this] {
                QVERIFY(QDir(documents()).removeRecursively());
                QFile blocker(documents());
                QVERIFY(blocker.open(QIODevice::WriteOnly));
            });
            typeFileName(files, QStringLiteral("sheet"));
        });
        clickOk(chooser);
    });
    QStringList reported;
    setErrorReporter([&](const QString& message) { reported << message; });
    SaveSheetAsPdf(&parent, request);
    setErrorReporter({});
    QCOMPARE(reported.size(), 1);
    // The reason that follows is the system's, in its language.
    QVERIFY2(reported.first().startsWith(
                 QStringLiteral("Unable to write to %1/sheet.pdf:").arg(documents())),
             qPrintable(reported.first()));
    QVERIFY(QFileInfo(documents()).isFile());
    QCOMPARE(QFileInfo(documents()).size(), 0);
}

QTEST_MAIN(TestPrintSheet)
#include "tst_printsheet.moc"
