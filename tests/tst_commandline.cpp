// The command line of the real program, run as a child process without a display: the files it
// writes, its exit codes and its one line of complaint, and that it touches nothing else.
#include "core/dateserial.h"
#include "days/entrystore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file and folder below `folder`, relative to it.
QStringList treeOf(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

QByteArray withoutStamps(const QByteArray& file) {
    QByteArray kept;
    for (const QByteArray& line : file.split('\n'))
        if (!line.startsWith("DTSTAMP:"))
            kept += line + '\n';
    return kept;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void goodRuns_data();
    void goodRuns();
    void badUsage_data();
    void badUsage();
    void unwritableTarget_data();
    void unwritableTarget();
    void storedSettingsAreUsedAndLeftAlone();
    void sameBytesInEveryTimeZone();
    void standardOutputThatCannotBeWritten_data();
    void standardOutputThatCannotBeWritten();
    void hoursSettingsForOneRun();
    void overlaysFollowTheSettingsUnlessGiven_data();
    void overlaysFollowTheSettingsUnlessGiven();
    void timedShiftsAreFloatingTimes();

    void daysRoundTripIsByteIdentical();
    void daysThroughStandardStreams();
    void daysImportIsAllOrNothing_data();
    void daysImportIsAllOrNothing();
    void importChecksEveryEntry_data();
    void importChecksEveryEntry();
    void importedHistoryDecidesTheFit();
    void assignmentsOverTime();
    void daysUsage_data();
    void daysUsage();
    void daysStoreUnavailable();
    void daysExportUnwritable();

private:
    // Runs the program in `work` with the settings folder below `config`, the data folder below
    // `data`, no display, no platform chosen and no runtime folder, as from a cron job or a
    // terminal without X. `input` is its standard input; `output` replaces standard output when
    // given.
    Run run(const QStringList& arguments, const QByteArray& timeZone = "UTC",
            const QByteArray& input = {}, const QString& output = {});
    QString daysFile() const {
        return m_work->filePath(QStringLiteral("data/Kestrand/Tourwise/Tourwise-days.sqlite"));
    }

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_config;
};

void CommandLineTest::init() {
    m_work = std::make_unique<QTemporaryDir>();
    m_config = m_work->filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(m_config));
}

Run CommandLineTest::run(const QStringList& arguments, const QByteArray& timeZone,
                         const QByteArray& input, const QString& output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_work->filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("TZ"), QString::fromLatin1(timeZone));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_work->path());
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(TOURWISE_PROGRAM), arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    // Nothing but the program's own line: no note of the toolkit about the missing runtime folder.
    result.err = process.readAllStandardError();
    return result;
}

void CommandLineTest::goodRuns_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("fileStart");
    QTest::addColumn<QByteArray>("output");
    const QStringList january{"--from", "2026-01-01", "--to", "2026-01-31"};
    QTest::newRow("ics, a month") << (QStringList{"--export-ics", "b2.ics", "--assignment", "B2"} +
                                      january)
                                  << "b2.ics" << QByteArray("BEGIN:VCALENDAR\r\n") << QByteArray();
    QTest::newRow("ics, --option=value, lower case group")
        << QStringList{"--export-ics=b2.ics", "--assignment=b2", "--from=2026-01-01",
                       "--to=2026-01-01"}
        << "b2.ics" << QByteArray("BEGIN:VCALENDAR\r\n") << QByteArray();
    QTest::newRow("ics, default range")
        << QStringList{"--export-ics", "a1.ics", "--assignment", "A1"} << "a1.ics"
        << QByteArray("BEGIN:VCALENDAR\r\n") << QByteArray();
    QTest::newRow("ics, last days of the view range")
        << QStringList{"--export-ics", "end.ics",    "--assignment", "A7",
                       "--from",       "2060-12-01", "--to",         "2060-12-31"}
        << "end.ics" << QByteArray("BEGIN:VCALENDAR\r\n") << QByteArray();
    QTest::newRow("pdf, a year") << QStringList{"--print-pdf", "year.pdf",     "--year",
                                                "2026",        "--assignment", "B2"}
                                 << "year.pdf" << QByteArray("%PDF-") << QByteArray();
    QTest::newRow("pdf, a month") << QStringList{"--print-pdf", "month.pdf", "--month", "2026-02"}
                                  << "month.pdf" << QByteArray("%PDF-") << QByteArray();
    QTest::newRow("pdf, this year") << QStringList{"--print-pdf", "now.pdf"} << "now.pdf"
                                    << QByteArray("%PDF-") << QByteArray();
    QTest::newRow("ics to standard output")
        << QStringList{"--export-ics", "-",          "--assignment", "B2",
                       "--from",       "2026-01-01", "--to",         "2026-01-01"}
        << QString() << QByteArray() << QByteArray("BEGIN:VCALENDAR\r\n");
    QTest::newRow("pdf to standard output") << QStringList{"--print-pdf", "-", "--month", "2026-02"}
                                            << QString() << QByteArray() << QByteArray("%PDF-");
    QTest::newRow("hours as CSV")
        << QStringList{"--hours", "--csv", "--assignment", "B2", "--year", "2026"} << QString()
        << QByteArray()
        // Every period holding a day of the year: the first began in December.
        << QByteArray("period,first,last,scheduled,worked,leave,traded_out,traded_in,extra,flsa\n"
                      "PP2,2025-12-28,2026-01-10,144,144,0,0,0,0,144\n"
                      "PP3,2026-01-11,2026-01-24,144,144,0,0,0,0,144\n");
    QTest::newRow("hours as a table")
        << QStringList{"--hours",    "--assignment", "B2",        "--from",
                       "2026-01-11", "--to",         "2026-01-11"}
        << QString() << QByteArray()
        << QByteArray("period  first       last        scheduled  worked  leave  traded_out  "
                      "traded_in  extra  flsa\n"
                      "PP3     2026-01-11  2026-01-24        144     144      0           0  "
                      "        0      0   144\n");
    QTest::newRow("work periods as CSV")
        << QStringList{"--work-periods", "--csv",      "--assignment", "B2",
                       "--from",         "2026-01-01", "--to",         "2026-01-31"}
        << QString() << QByteArray()
        << QByteArray("first,last,days,flsa,threshold,overtime\n"
                      "2025-12-14,2026-01-10,28,288,212,76\n"
                      "2026-01-11,2026-02-07,28,288,212,76\n");
    QTest::newRow("trades, none yet")
        << QStringList{"--trades", "--csv", "--assignment", "B2"} << QString() << QByteArray()
        << QByteArray("with,they_worked,i_worked,balance\n");
    QTest::newRow("version") << QStringList{"--version"} << QString() << QByteArray()
                             << QByteArray("Tourwise ");
    QTest::newRow("help") << QStringList{"--help"} << QString() << QByteArray()
                          << QByteArray("Usage: ");
}

void CommandLineTest::goodRuns() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, target);
    QFETCH(QByteArray, fileStart);
    QFETCH(QByteArray, output);
    const Run result = run(arguments);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith(output));
    QStringList expectedTree{"config"};
    if (!target.isEmpty()) {
        QVERIFY(readFile(m_work->filePath(target)).startsWith(fileStart));
        expectedTree << target;
        expectedTree.sort();
    }
    QCOMPARE(treeOf(m_work->path()), expectedTree);
}

void CommandLineTest::badUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("complaint");
    const QStringList ics{"--export-ics", "out.ics"};
    const QStringList pdf{"--print-pdf", "out.pdf"};
    QTest::newRow("unknown option") << QStringList{"--bogus"} << QByteArray("bogus");
    QTest::newRow("Qt's own option") << QStringList{"-platform", "xcb"} << QByteArray("platform");
    QTest::newRow("file name missing") << QStringList{"--export-ics"} << QByteArray("export-ics");
    QTest::newRow("empty file name") << QStringList{"--export-ics", ""} << QByteArray("file name");
    QTest::newRow("stray argument") << (ics + QStringList{"B2"}) << QByteArray("'B2'");
    QTest::newRow("both actions") << (ics + pdf) << QByteArray("not both");
    QTest::newRow("no action") << QStringList{"--from", "2026-01-01"} << QByteArray("--export-ics");
    QTest::newRow("nothing but a setting")
        << QStringList{"--work-period-days", "14"} << QByteArray("--work-period-days goes with");
    QTest::newRow("assignment without action")
        << QStringList{"--assignment", "B2"} << QByteArray("--assignment");
    QTest::newRow("unknown group")
        << (ics + QStringList{"--assignment", "C3"}) << QByteArray("'C3'");
    QTest::newRow("group 8") << (ics + QStringList{"--assignment", "A8"}) << QByteArray("'A8'");
    QTest::newRow("no sub-group for a calendar")
        << (ics + QStringList{"--assignment", "RDO"}) << QByteArray("sub-group");
    QTest::newRow("none in the settings either") << ics << QByteArray("sub-group");
    QTest::newRow("date in another form")
        << (ics + QStringList{"--assignment", "B2", "--from", "1/2/2026"})
        << QByteArray("'1/2/2026'");
    QTest::newRow("13th month") << (ics + QStringList{"--assignment", "B2", "--to", "2026-13-01"})
                                << QByteArray("'2026-13-01'");
    QTest::newRow("30 February") << (ics + QStringList{"--assignment", "B2", "--to", "2026-02-30"})
                                 << QByteArray("'2026-02-30' does not exist: February 2026 has 28");
    QTest::newRow("29 February of a common year")
        << (ics + QStringList{"--assignment", "B2", "--from", "2027-02-29"})
        << QByteArray("'2027-02-29' does not exist");
    QTest::newRow("31 April") << QStringList{"--hours", "--from", "2026-04-31"}
                              << QByteArray("'2026-04-31' does not exist");
    QTest::newRow("day 00") << (ics + QStringList{"--assignment", "B2", "--to", "2026-01-00"})
                            << QByteArray("'2026-01-00' does not exist");
    QTest::newRow("calendar file twice")
        << (ics + QStringList{"--export-ics", "other.ics", "--assignment", "B2"})
        << QByteArray("--export-ics is given twice");
    QTest::newRow("sheet twice, one of them standard output")
        << (pdf + QStringList{"--print-pdf=-"}) << QByteArray("--print-pdf is given twice");
    QTest::newRow("RDO for a calendar file")
        << (ics + QStringList{"--assignment", "RDO"})
        << QByteArray("--assignment: RDO names no group; --export-ics needs a sub-group");
    QTest::newRow("RDO for the hours")
        << QStringList{"--trades", "--assignment", "rdo"}
        << QByteArray("--assignment: RDO names no group; --trades needs a sub-group");
    QTest::newRow("two lists of hours")
        << QStringList{"--hours", "--trades"} << QByteArray("give --hours or --trades, not both");
    QTest::newRow("hours and a file") << (ics + QStringList{"--work-periods"})
                                      << QByteArray("give --export-ics or --work-periods");
    QTest::newRow("csv without hours")
        << (pdf + QStringList{"--csv"}) << QByteArray("--csv goes with --hours");
    QTest::newRow("shift start with the calendar")
        << (ics + QStringList{"--assignment", "B2", "--shift-start", "07:00"})
        << QByteArray("--shift-start goes with");
    QTest::newRow("year and a range for the hours")
        << QStringList{"--hours", "--year", "2026", "--to", "2026-03-01"}
        << QByteArray("give --year or --from and --to, not both");
    QTest::newRow("hours range backwards")
        << QStringList{"--work-periods", "--assignment", "B2",        "--from",
                       "2026-03-01",     "--to",         "2026-02-01"}
        << QByteArray("before it begins");
    QTest::newRow("hours without a sub-group") << QStringList{"--hours"} << QByteArray("sub-group");
    QTest::newRow("shift start 24:00")
        << QStringList{"--hours", "--shift-start", "24:00"} << QByteArray("'24:00'");
    QTest::newRow("shift start without minutes")
        << QStringList{"--hours", "--shift-start", "7"} << QByteArray("'7'");
    QTest::newRow("work period of 6 days")
        << QStringList{"--work-periods", "--work-period-days", "6"} << QByteArray("'6'");
    QTest::newRow("work period of 29 days")
        << QStringList{"--work-periods", "--work-period-days", "29"} << QByteArray("'29'");
    QTest::newRow("work period of x days")
        << QStringList{"--work-periods", "--work-period-days", "x"} << QByteArray("'x'");
    QTest::newRow("work period start that does not exist")
        << QStringList{"--work-periods", "--work-period-start", "2026-02-29"}
        << QByteArray("'2026-02-29' does not exist");
    QTest::newRow("before the view range")
        << (ics + QStringList{"--assignment", "B2", "--from", "2015-12-31"})
        << QByteArray("2015-12-31");
    QTest::newRow("after the view range")
        << (ics + QStringList{"--assignment", "B2", "--to", "2061-01-01"})
        << QByteArray("2061-01-01");
    QTest::newRow("range backwards")
        << (ics + QStringList{"--assignment", "B2", "--from", "2026-02-01", "--to", "2026-01-31"})
        << QByteArray("before it begins");
    QTest::newRow("year with the calendar")
        << (ics + QStringList{"--assignment", "B2", "--year", "2026"}) << QByteArray("--year");
    QTest::newRow("from with the sheet")
        << (pdf + QStringList{"--from", "2026-01-01"}) << QByteArray("--from");
    QTest::newRow("year and month")
        << (pdf + QStringList{"--year", "2026", "--month", "2026-02"}) << QByteArray("not both");
    QTest::newRow("two-digit year") << (pdf + QStringList{"--year", "26"}) << QByteArray("'26'");
    QTest::newRow("year outside the view range")
        << (pdf + QStringList{"--year", "2061"}) << QByteArray("2061");
    QTest::newRow("month 13") << (pdf + QStringList{"--month", "2026-13"})
                              << QByteArray("'2026-13'");
    QTest::newRow("paydays on and off")
        << (ics + QStringList{"--assignment", "B2", "--paydays", "--no-paydays"})
        << QByteArray("not both");
    QTest::newRow("pay periods on and off")
        << (pdf + QStringList{"--pay-periods", "--no-pay-periods"}) << QByteArray("not both");
    QTest::newRow("timed shifts on a sheet")
        << (pdf + QStringList{"--timed-shifts"}) << QByteArray("--timed-shifts");
    QTest::newRow("only my days in a calendar file")
        << (ics + QStringList{"--assignment", "B2", "--only-my-days"})
        << QByteArray("--only-my-days");
    QTest::newRow("paydays without action")
        << QStringList{"--no-paydays"} << QByteArray("--no-paydays");
    QTest::newRow("month without year")
        << (pdf + QStringList{"--month", "02"}) << QByteArray("'02'");
}

void CommandLineTest::badUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, complaint);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.startsWith("tourwise: ") && result.err.contains(complaint), result.err);
    QCOMPARE(treeOf(m_work->path()), QStringList{"config"});
}

void CommandLineTest::unwritableTarget_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("target");
    // Root ignores permissions, so what is in the way makes the write fail.
    QTest::newRow("ics below a plain file")
        << QStringList{"--export-ics", "plain/out.ics", "--assignment", "B2"} << "plain/out.ics";
    QTest::newRow("ics onto a folder")
        << QStringList{"--export-ics", "folder", "--assignment", "B2"} << "folder";
    QTest::newRow("ics in a missing folder")
        << QStringList{"--export-ics", "missing/out.ics", "--assignment", "B2"}
        << "missing/out.ics";
    QTest::newRow("pdf below a plain file")
        << QStringList{"--print-pdf", "plain/out.pdf"} << "plain/out.pdf";
    QTest::newRow("pdf onto a folder") << QStringList{"--print-pdf", "folder"} << "folder";
    QTest::newRow("pdf in a missing folder")
        << QStringList{"--print-pdf", "missing/out.pdf"} << "missing/out.pdf";
    QTest::newRow("entries below a plain file")
        << QStringList{"--export-days", "plain/out.json"} << "plain/out.json";
}

void CommandLineTest::unwritableTarget() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, target);
    writeFile(m_work->filePath(QStringLiteral("plain")), "in the way");
    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("folder")));
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err.count('\n'), 1);
    // The same words for every kind of file.
    QVERIFY2(result.err.startsWith("tourwise: Unable to write to " + target.toUtf8() + ": "),
             result.err);
    // Nothing partial: no target, no temporary file beside it.
    QCOMPARE(treeOf(m_work->path()), (QStringList{"config", "folder", "plain"}));
    QCOMPARE(readFile(m_work->filePath(QStringLiteral("plain"))), QByteArray("in the way"));
}

void CommandLineTest::storedSettingsAreUsedAndLeftAlone() {
    const QString ini = m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini");
    const QByteArray stored = "[Config]\r\nAgency=Brandweer Zuid\r\nRDO=A3\r\n";
    writeFile(ini, stored);
    const QStringList range{"--from", "2026-01-01", "--to", "2026-01-31"};
    const Run fromSettings = run(QStringList{"--export-ics", "a3.ics"} + range);
    QCOMPARE(fromSettings.exitCode, 0);
    const QByteArray a3 = readFile(m_work->filePath(QStringLiteral("a3.ics")));
    QVERIFY(a3.contains("X-WR-CALNAME:Brandweer Zuid\r\n"));
    QVERIFY(a3.contains("SUMMARY:RDO A3\r\n"));
    QVERIFY(a3.contains("SUMMARY:On duty \xe2\x80\x93 crew A\r\n"));
    QVERIFY(!a3.contains("crew B"));
    // --assignment wins over the stored one.
    const Run overridden = run(QStringList{"--export-ics", "b5.ics", "--assignment", "B5"} + range);
    QCOMPARE(overridden.exitCode, 0);
    const QByteArray b5 = readFile(m_work->filePath(QStringLiteral("b5.ics")));
    QVERIFY(b5.contains("SUMMARY:RDO B5\r\n"));
    QVERIFY(!b5.contains("A3"));
    QCOMPARE(run({"--print-pdf", "a3.pdf", "--year", "2026"}).exitCode, 0);
    // The settings file is read, never written, and nothing else appears in the folder.
    QCOMPARE(readFile(ini), stored);
    QCOMPARE(treeOf(m_config),
             (QStringList{"Kestrand", "Kestrand/Tourwise", "Kestrand/Tourwise/Tourwise.ini"}));
}

void CommandLineTest::sameBytesInEveryTimeZone() {
    const QStringList arguments{"--assignment", "B2", "--from", "2026-01-01", "--to", "2026-12-31"};
    QByteArray first;
    // Auckland is a day ahead of Los Angeles for most hours; both change to and from daylight
    // saving inside the year.
    for (const char* zone : {"UTC", "Pacific/Auckland", "America/Los_Angeles"}) {
        const QString file = QString::fromLatin1(zone).replace(u'/', u'-') + QStringLiteral(".ics");
        QCOMPARE(run(QStringList{"--export-ics", file} + arguments, zone).exitCode, 0);
        const QByteArray bytes = withoutStamps(readFile(m_work->filePath(file)));
        QVERIFY(bytes.contains("DTSTART;VALUE=DATE:20260101\r\n") ||
                bytes.contains("DTSTART;VALUE=DATE:20260102\r\n"));
        if (first.isEmpty())
            first = bytes;
        else
            QCOMPARE(bytes, first);
    }
}

void CommandLineTest::standardOutputThatCannotBeWritten_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("ics") << QStringList{"--export-ics", "-", "--assignment", "B2"};
    QTest::newRow("pdf") << QStringList{"--print-pdf", "-"};
    QTest::newRow("hours") << QStringList{"--hours", "--assignment", "B2"};
}

void CommandLineTest::standardOutputThatCannotBeWritten() {
    QFETCH(QStringList, arguments);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("needs /dev/full, a device whose writes always fail");
    const Run result = run(arguments, "UTC", {}, QStringLiteral("/dev/full"));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.startsWith("tourwise: Unable to write to standard output: "), result.err);
    QCOMPARE(treeOf(m_work->path()), QStringList{"config"});
}

void CommandLineTest::hoursSettingsForOneRun() {
    const QString data = m_work->filePath(QStringLiteral("data"));
    const QString file = daysFilePath(data);
    {
        EntryStore store(file);
        HoursSettings stored;
        stored.shiftStart = 7 * 60;
        stored.workPeriodDays = 14;
        stored.workPeriodStart = serialFromYmd(2026, 1, 5);
        QVERIFY(store.setHoursSettings(stored).ok);
        DayEntry leave;
        leave.date = serialFromYmd(2026, 3, 7); // A1 on duty; the clocks go forward overnight
        leave.kind = EntryKind::Leave;
        QVERIFY(store.add(leave).ok);
    }
    const QByteArray before = readFile(file);
    const QStringList work{"--work-periods", "--csv",      "--assignment", "A1",
                           "--from",         "2026-01-01", "--to",         "2026-01-20"};
    // The stored work periods: 14 days from Monday 5 January, and the one before, which holds
    // the first days of the range.
    QCOMPARE(run(work).out, QByteArray("first,last,days,flsa,threshold,overtime\n"
                                       "2025-12-22,2026-01-04,14,144,106,38\n"
                                       "2026-01-05,2026-01-18,14,144,106,38\n"
                                       "2026-01-19,2026-02-01,14,144,106,38\n"));
    QCOMPARE(
        run(work + QStringList{"--work-period-days", "7", "--work-period-start", "2026-01-13"}).out,
        QByteArray("first,last,days,flsa,threshold,overtime\n"
                   "2025-12-30,2026-01-05,7,48,53,0\n"
                   "2026-01-06,2026-01-12,7,96,53,43\n"
                   "2026-01-13,2026-01-19,7,72,53,19\n"
                   "2026-01-20,2026-01-26,7,72,53,19\n"));
    // From the stored 07:00 the leave takes the short night (23 hours); from 01:00 it ends
    // before the clocks change, and the next shift is the short one.
    const QStringList hours{"--hours", "--csv",      "--assignment", "A1",
                            "--from",  "2026-02-22", "--to",         "2026-03-08"};
    const QByteArray header =
        "period,first,last,scheduled,worked,leave,traded_out,traded_in,extra,flsa\n";
    QCOMPARE(run(hours, "America/New_York").out,
             header + "PP6,2026-02-22,2026-03-07,143,120,23,0,0,0,120\n"
                      "PP7,2026-03-08,2026-03-21,144,144,0,0,0,0,144\n");
    QCOMPARE(run(hours + QStringList{"--shift-start", "01:00"}, "America/New_York").out,
             header + "PP6,2026-02-22,2026-03-07,144,120,24,0,0,0,120\n"
                      "PP7,2026-03-08,2026-03-21,143,143,0,0,0,0,143\n");
    QCOMPARE(readFile(file), before);
}

void CommandLineTest::overlaysFollowTheSettingsUnlessGiven_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("paydays");
    QTest::addColumn<bool>("payPeriods");
    QTest::newRow("both stored on")
        << QByteArray("ShowPaydays=1\r\nShowPayPeriods=1\r\n") << QStringList{} << true << true;
    QTest::newRow("both stored off")
        << QByteArray("ShowPaydays=0\r\nShowPayPeriods=0\r\n") << QStringList{} << false << false;
    QTest::newRow("nothing stored: off, as the window starts")
        << QByteArray() << QStringList{} << false << false;
    QTest::newRow("stored off, paydays asked for")
        << QByteArray("ShowPaydays=0\r\nShowPayPeriods=0\r\n") << QStringList{"--paydays"} << true
        << false;
    QTest::newRow("stored on, both left out")
        << QByteArray("ShowPaydays=1\r\nShowPayPeriods=1\r\n")
        << QStringList{"--no-paydays", "--no-pay-periods"} << false << false;
    QTest::newRow("stored on, pay periods asked for")
        << QByteArray("ShowPaydays=1\r\nShowPayPeriods=0\r\n") << QStringList{"--pay-periods"}
        << true << true;
}

// The calendar file shows paydays and pay-period starts as the stored switches say, as the
// sheet does, unless an option says otherwise; the sheet follows the same options.
void CommandLineTest::overlaysFollowTheSettingsUnlessGiven() {
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, options);
    QFETCH(bool, paydays);
    QFETCH(bool, payPeriods);
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"),
              "[Config]\r\nRDO=B2\r\n" + stored);
    const QStringList range{"--from", "2026-01-01", "--to", "2026-03-31"};
    QCOMPARE(run(QStringList{"--export-ics", "out.ics"} + range + options).exitCode, 0);
    const QByteArray file = readFile(m_work->filePath(QStringLiteral("out.ics")));
    QVERIFY(file.contains("SUMMARY:RDO B2\r\n"));
    QCOMPARE(file.contains("SUMMARY:Payday\r\n"), paydays);
    QCOMPARE(file.contains(" begins\r\n"), payPeriods);
    QCOMPARE(run(QStringList{"--print-pdf", "out.pdf", "--month", "2026-01"} + options).exitCode,
             0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {m_work->filePath(QStringLiteral("out.pdf")), "-"});
    if (!text.waitForFinished(60000) || text.exitCode() != 0)
        QSKIP("pdftotext is not installed (poppler-utils)");
    const QString sheet = QString::fromUtf8(text.readAllStandardOutput());
    QCOMPARE(sheet.contains(QStringLiteral("Payday")), paydays);
    QCOMPARE(sheet.contains(QStringLiteral("Pay period begins")), payPeriods);
}

void CommandLineTest::timedShiftsAreFloatingTimes() {
    const QStringList arguments{"--assignment", "B2", "--from", "2026-03-01", "--to", "2026-03-06"};
    QCOMPARE(run(QStringList{"--export-ics", "timed.ics", "--timed-shifts"} + arguments).exitCode,
             0);
    const QByteArray timed = readFile(m_work->filePath(QStringLiteral("timed.ics")));
    // 1, 2 and 5 March are B2's duty days; the default shift start is 08:00.
    for (const char* day : {"01", "02", "05"})
        QVERIFY2(timed.contains(QByteArray("DTSTART:202603") + day + "T080000\r\n"), day);
    QVERIFY(timed.contains("DTEND:20260306T080000\r\n"));
    QVERIFY(timed.contains("DTSTART;VALUE=DATE:20260306\r\n")); // the RDO stays a whole day
    QVERIFY(!timed.contains("TZID") && !timed.contains("METHOD"));
    QCOMPARE(run(QStringList{"--export-ics", "days.ics"} + arguments).exitCode, 0);
    QVERIFY(readFile(m_work->filePath(QStringLiteral("days.ics")))
                .contains("DTSTART;VALUE=DATE:20260301\r\n"));
}

namespace {

// Entries as the program writes them: sorted, every optional field once. They fit the days of
// A3, the assignment the days tests save: 28 February 2026 is its duty day, shared by a trade
// and leave of 12 hours each, 2 March a day off.
const QByteArray DaysSettings = "[Config]\r\nRDO=A3\r\n";
const QByteArray DaysFile =
    "{\n  \"format\": \"tourwise-days\",\n  \"version\": 3,\n  \"assignmentHistory\": [],\n"
    "  \"banks\": [],\n  \"entries\": [\n"
    "    {\"id\": \"0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01\", \"date\": \"2026-02-28\", \"kind\": "
    "\"trade-out\", \"minutes\": 720, \"start\": \"08:00\", \"with\": \"R. Okafor\", \"revision\": "
    "3, \"modified\": \"2026-02-20T23:59:59Z\"},\n"
    "    {\"id\": \"5c1f8a0e-0e5b-4f7e-8a1c-2d3e4f5a6b7c\", \"date\": \"2026-02-28\", \"kind\": "
    "\"leave\", \"minutes\": 720, \"leaveType\": \"vacation\", \"note\": \"J\xc3\xb6rg "
    "\\\"away\\\"\", "
    "\"revision\": "
    "1, \"modified\": \"2026-01-01T00:00:00Z\"},\n"
    "    {\"id\": \"11111111-2222-4333-8444-555555555555\", \"date\": \"2026-03-02\", \"kind\": "
    "\"overtime\", \"minutes\": 90, \"revision\": 2, \"modified\": \"2026-03-02T12:30:00Z\"}\n"
    "  ]\n}\n";

// The same file with the second entry at a higher revision.
QByteArray daysFileWithNewerLeave() {
    QByteArray file = DaysFile;
    const QByteArray old = "\"revision\": 1, \"modified\": \"2026-01-01T00:00:00Z\"";
    return file.replace(old, "\"revision\": 4, \"modified\": \"2026-04-01T00:00:00Z\"");
}

} // namespace

void CommandLineTest::daysRoundTripIsByteIdentical() {
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"), DaysSettings);
    writeFile(m_work->filePath(QStringLiteral("in.json")), DaysFile);
    Run imported = run({"--import-days", "in.json"});
    QCOMPARE(imported.err, QByteArray());
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.out, QByteArray("Imported 3 entries (0 updated, 0 unchanged) and the "
                                      "assignment history (no change)\n"));
    QCOMPARE(run({"--export-days", "out.json"}).exitCode, 0);
    QCOMPARE(readFile(m_work->filePath(QStringLiteral("out.json"))), DaysFile);

    // The same file again changes nothing; a newer revision of one entry replaces it.
    imported = run({"--import-days", "out.json"});
    QCOMPARE(imported.out, QByteArray("Imported 3 entries (0 updated, 3 unchanged) and the "
                                      "assignment history (no change)\n"));
    writeFile(m_work->filePath(QStringLiteral("newer.json")), daysFileWithNewerLeave());
    imported = run({"--import-days", "newer.json"});
    QCOMPARE(imported.out, QByteArray("Imported 3 entries (1 updated, 2 unchanged) and the "
                                      "assignment history (no change)\n"));
    QCOMPARE(run({"--export-days", "again.json"}).exitCode, 0);
    QCOMPARE(readFile(m_work->filePath(QStringLiteral("again.json"))), daysFileWithNewerLeave());
    // The store's file, checked by SQLite itself.
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {daysFile(), QStringLiteral("PRAGMA integrity_check")});
    QVERIFY(shell.waitForFinished(-1));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("ok\n"));
}

void CommandLineTest::daysThroughStandardStreams() {
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"), DaysSettings);
    // Nothing recorded: an empty list, and no file made for it.
    Run exported = run({"--export-days", "-"});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.out, QByteArray("{\n  \"format\": \"tourwise-days\",\n  \"version\": 3,\n  "
                                      "\"assignmentHistory\": [],\n  \"banks\": [],\n  "
                                      "\"entries\": []\n}\n"));
    QVERIFY(!treeOf(m_work->path()).contains(QStringLiteral("data")));

    const Run imported = run({"--import-days", "-"}, "UTC", DaysFile);
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.out, QByteArray("Imported 3 entries (0 updated, 0 unchanged) and the "
                                      "assignment history (no change)\n"));
    exported = run({"--export-days", "-"});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.err, QByteArray());
    QCOMPARE(exported.out, DaysFile);
}

namespace {

// One entry of the JSON form, on a day of A3 (the days tests' assignment): 28 February 2026 is
// its duty day, 2 March a day off.
QByteArray entryJson(const char* id, const char* date, const char* kind, const QByteArray& more) {
    return QByteArray("{\"id\": \"") + id + "\", \"date\": \"" + date + "\", \"kind\": \"" + kind +
           "\", \"revision\": 1" + more + "}";
}

QByteArray fileOf(const QList<QByteArray>& entries, const QByteArray& history = {}) {
    QByteArray file = "{\"format\": \"tourwise-days\", \"version\": 3, ";
    if (!history.isNull())
        file += "\"assignmentHistory\": " + history + ", ";
    QByteArray list;
    for (const QByteArray& entry : entries)
        list += (list.isEmpty() ? "" : ", ") + entry;
    return file + "\"entries\": [" + list + "]}";
}

const char* const IdA = "aaaaaaaa-0000-4000-8000-000000000001";
const char* const IdB = "bbbbbbbb-0000-4000-8000-000000000002";

} // namespace

// Every way the editor refuses an entry refuses it in an import too: exit 1, at most three
// lines that name the entry and its day and say the rule, and nothing stored.
void CommandLineTest::importChecksEveryEntry_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("said");
    const QByteArray good = entryJson(IdA, "2026-02-28", "note", ", \"note\": \"kept\"");
    QTest::newRow("trade-out on a day off")
        << fileOf({good, entryJson(IdB, "2026-03-02", "trade-out", "")})
        << QByteArray("entry bbbbbbbb-0000-4000-8000-000000000002 on 2026-03-02: You are not on "
                      "duty that day, so there is no shift to trade away.");
    QTest::newRow("leave on a day off")
        << fileOf({entryJson(IdB, "2026-03-02", "leave", ", \"leaveType\": \"vacation\"")})
        << QByteArray("no shift to take leave from");
    QTest::newRow("a trade worked on the own duty day")
        << fileOf({entryJson(IdB, "2026-02-28", "trade-in", ", \"minutes\": 600")})
        << QByteArray("You are on duty that day");
    QTest::newRow("trade and leave over the shift")
        << fileOf({entryJson(IdA, "2026-02-28", "trade-out", ""),
                   entryJson(IdB, "2026-02-28", "leave", ", \"minutes\": 60")})
        << QByteArray("Trades and leave on this day would come to");
    QTest::newRow("two whole trades worked on one day")
        << fileOf({entryJson(IdA, "2026-03-02", "trade-in", ", \"with\": \"Lind\""),
                   entryJson(IdB, "2026-03-02", "trade-in", ", \"with\": \"Chen\"")})
        << QByteArray("would come to 48 hours, more than its 24-hour shift");
    QTest::newRow("overtime of no minutes")
        << fileOf({entryJson(IdB, "2026-03-02", "overtime", ", \"minutes\": 0")})
        << QByteArray("Give the hours: more than 0.");
    QTest::newRow("a holdover without hours")
        << fileOf({entryJson(IdB, "2026-02-28", "holdover", "")})
        << QByteArray("Give the hours of the holdover.");
    // Beside what is stored already: a stored whole-shift trade leaves no room for leave.
    QTest::newRow("over the shift with a stored entry")
        << fileOf({entryJson(IdB, "2026-02-28", "leave", ", \"minutes\": 240")})
        << QByteArray("(already yours)");
}

void CommandLineTest::importChecksEveryEntry() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, said);
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"), DaysSettings);
    const QByteArray stored =
        fileOf({entryJson("cccccccc-0000-4000-8000-000000000003", "2026-02-28", "trade-out",
                          ", \"with\": \"Okafor\"")});
    QCOMPARE(run({"--import-days", "-"}, "UTC", stored).exitCode, 0);
    const QByteArray before = run({"--export-days", "-"}).out;
    const QByteArray bytes = readFile(daysFile());
    const Run refused = run({"--import-days", "-"}, "UTC", file);
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.out, QByteArray());
    QVERIFY(refused.err.count('\n') >= 1 && refused.err.count('\n') <= 3);
    QVERIFY2(refused.err.startsWith("tourwise: nothing imported from standard input: entry "),
             refused.err);
    QVERIFY2(refused.err.contains(said), refused.err);
    QCOMPARE(run({"--export-days", "-"}).out, before);
    QCOMPARE(readFile(daysFile()), bytes);
}

// An imported history decides which entries fit; a history alone that leaves stored entries
// without their shift is taken, and the hours then say which entries they leave out.
void CommandLineTest::importedHistoryDecidesTheFit() {
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"), DaysSettings);
    // 2 March 2026 is crew B's: a trade away fits only a B group then.
    const QByteArray trade = entryJson(IdA, "2026-03-02", "trade-out", ", \"with\": \"Lind\"");
    QCOMPARE(run({"--import-days", "-"}, "UTC", fileOf({trade})).exitCode, 1);
    const Run taken = run({"--import-days", "-"}, "UTC",
                          fileOf({trade}, R"([{"assignment": "B2", "until": "2026-06-30"}])"));
    QCOMPARE(taken.err, QByteArray());
    QCOMPARE(taken.out, QByteArray("Imported 1 entries (0 updated, 0 unchanged) and the "
                                   "assignment history (1 change)\n"));
    Run hours = run({"--hours", "--csv", "--from", "2026-03-02", "--to", "2026-03-02"});
    QCOMPARE(hours.exitCode, 0);
    QCOMPARE(hours.err, QByteArray());
    QVERIFY(hours.out.contains(",24,0,0,"));
    // The history replaced by one without the change: the entry stays, is not counted, and
    // the hours say so on one line.
    QCOMPARE(run({"--import-days", "-"}, "UTC", fileOf({}, "[]")).exitCode, 0);
    hours = run({"--hours", "--csv", "--from", "2026-03-02", "--to", "2026-03-02"});
    QCOMPARE(hours.exitCode, 0);
    QCOMPARE(hours.err.count('\n'), 1);
    QVERIFY2(hours.err.contains("1 entry is not counted") && hours.err.contains("2026-03-02"),
             hours.err);
    QVERIFY(run({"--export-days", "-"}).out.contains(IdA));
}

// --change-assignment records what Save records; --assignments lists it.
void CommandLineTest::assignmentsOverTime() {
    QCOMPARE(run({"--assignments", "--csv"}).out, QByteArray("assignment,first,last\nRDO,,\n"));
    // A first choice of group: no history, and no days file for it.
    Run changed = run({"--change-assignment", "B2", "--effective", "2026-01-01"});
    QCOMPARE(changed.exitCode, 0);
    QCOMPARE(changed.out, QByteArray("B2 is your assignment.\n"));
    QVERIFY(!QFileInfo::exists(daysFile()));
    changed = run({"--change-assignment", "A3", "--effective", "2026-07-01"});
    QCOMPARE(changed.out, QByteArray("A3 is your assignment from 2026-07-01 (B2 until "
                                     "2026-06-30).\n"));
    QVERIFY(
        readFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini")).contains("RDO=A3"));
    QCOMPARE(run({"--assignments", "--csv"}).out,
             QByteArray("assignment,first,last\nB2,,2026-06-30\nA3,2026-07-01,\n"));
    QCOMPARE(run({"--change-assignment", "A3", "--effective", "2026-08-01"}).out,
             QByteArray("A3 is your assignment already; nothing changed.\n"));
    // The days before the change are B2's, after it A3's, and a what-if holds on every day.
    const QStringList year{"--export-ics", "-", "--from", "2026-01-01", "--to", "2026-12-31"};
    const QByteArray both = run(year).out;
    QVERIFY(both.contains("RDO B2") && both.contains("RDO A3"));
    QVERIFY(!run(year + QStringList{"--assignment", "A3"}).out.contains("RDO B2"));
    QCOMPARE(run({"--change-assignment", "C9", "--effective", "2026-01-01"}).exitCode, 2);
    QCOMPARE(run({"--change-assignment", "B2"}).exitCode, 2);
    QCOMPARE(run({"--assignments", "--assignment", "B2"}).exitCode, 2);
}

void CommandLineTest::daysImportIsAllOrNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // written as bad.json
    QTest::addColumn<QByteArray>("complaint");
    const QStringList bad{"--import-days", "bad.json"};
    QByteArray lastBroken = daysFileWithNewerLeave();
    lastBroken.replace("\"date\": \"2026-03-02\"", "\"date\": \"2026-02-30\"");
    QTest::newRow("last entry has a date that does not exist")
        << bad << lastBroken << QByteArray("Entry 3 (11111111-2222-4333-8444-555555555555)");
    QTest::newRow("not JSON") << bad << QByteArray("date,kind\n") << QByteArray("not JSON");
    QTest::newRow("empty file") << bad << QByteArray() << QByteArray("not JSON");
    QTest::newRow("missing file") << QStringList{"--import-days", "missing.json"} << QByteArray()
                                  << QByteArray("missing.json");
    QTest::newRow("a folder") << QStringList{"--import-days", "data"} << QByteArray()
                              << QByteArray("data");
    QTest::newRow("broken standard input")
        << QStringList{"--import-days", "-"} << QByteArray() << QByteArray("standard input");
}

void CommandLineTest::daysImportIsAllOrNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, complaint);
    writeFile(m_config + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini"), DaysSettings);
    writeFile(m_work->filePath(QStringLiteral("good.json")), DaysFile);
    QCOMPARE(run({"--import-days", "good.json"}).exitCode, 0);
    if (arguments.last() == QLatin1StringView("bad.json"))
        writeFile(m_work->filePath(QStringLiteral("bad.json")), file);
    const Run result = run(arguments, "UTC", "{\"format\": \"tourwise-days\", \"version\": 1");
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.startsWith("tourwise: ") && result.err.contains(complaint), result.err);
    const Run exported = run({"--export-days", "-"});
    QCOMPARE(exported.out, DaysFile); // not one entry of the bad file
}

void CommandLineTest::daysUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("complaint");
    QTest::newRow("export without a file")
        << QStringList{"--export-days"} << QByteArray("export-days");
    QTest::newRow("import with an empty name")
        << QStringList{"--import-days", ""} << QByteArray("needs a file name");
    QTest::newRow("export and import")
        << QStringList{"--export-days", "a.json", "--import-days", "b.json"}
        << QByteArray("give --export-days or --import-days, not both");
    QTest::newRow("with the calendar export")
        << QStringList{"--export-days", "a.json", "--export-ics", "b.ics", "--assignment", "B2"}
        << QByteArray("give --export-ics or --export-days, not both");
    QTest::newRow("with a range") << QStringList{"--export-days", "a.json", "--from", "2026-01-01"}
                                  << QByteArray("--from");
    QTest::newRow("with a group") << QStringList{"--import-days", "a.json", "--assignment", "B2"}
                                  << QByteArray("--assignment");
}

void CommandLineTest::daysUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, complaint);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.startsWith("tourwise: ") && result.err.contains(complaint), result.err);
    QCOMPARE(treeOf(m_work->path()), QStringList{"config"});
}

void CommandLineTest::daysStoreUnavailable() {
    const QByteArray notADatabase = "these are my notes, not a database\n";
    writeFile(daysFile(), notADatabase);
    writeFile(m_work->filePath(QStringLiteral("in.json")), DaysFile);
    for (const QStringList& arguments :
         {QStringList{"--export-days", "out.json"}, QStringList{"--import-days", "in.json"}}) {
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.contains(daysFile().toUtf8()), result.err);
        QVERIFY(!QFileInfo::exists(m_work->filePath(QStringLiteral("out.json"))));
    }
    QCOMPARE(readFile(daysFile()), notADatabase);
}

void CommandLineTest::daysExportUnwritable() {
    writeFile(m_work->filePath(QStringLiteral("plain")), "in the way");
    for (const char* target : {"plain/out.json", "missing/out.json"}) {
        const Run result = run({"--export-days", QString::fromLatin1(target)});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.contains(target), result.err);
    }
    QCOMPARE(treeOf(m_work->path()), (QStringList{"config", "plain"}));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
