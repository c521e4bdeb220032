#include "colors/namedcolors.h"
#include "core/dateserial.h"
#include "settings/datetext.h"
#include "settings/inistore.h"
#include "settings/settingsfile.h"
#include "settings/settingslocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

namespace {

const QLocale UnitedStates(QStringLiteral("en_US"));

// A settings file in a fresh temporary folder.
class SettingsFixture {
public:
    SettingsFixture() : m_path(m_dir.filePath(QStringLiteral("Tourwise.ini"))) {}
    const QString& path() const { return m_path; }
    StoredSettings load(const QByteArray& content, const QLocale& locale = UnitedStates) {
        writeFile(m_path, content);
        return loadSettings(m_path, locale);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void defaultsWithoutFile();
    void firstStartCreatesFoldersOnly();
    void locationFallbacks_data();
    void locationFallbacks();

    void assignment_data();
    void assignment();
    void switches_data();
    void switches();
    void payPeriodStartText_data();
    void payPeriodStartText();
    void payPeriodStartRead_data();
    void payPeriodStartRead();
    void colors_data();
    void colors();
    void agency_data();
    void agency();

    void freshFileLayout();
    void saveLoadRoundTrip_data();
    void saveLoadRoundTrip();
    void saveWithoutAgencyKeepsStoredTitle();
    void refusedSave_data();
    void refusedSave();
};

void TestSettingsFile::defaultsWithoutFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const StoredSettings loaded = loadSettings(dir.filePath("Tourwise.ini"), UnitedStates);
    QCOMPARE(loaded.agency, QStringLiteral("Velmora Fire"));
    QCOMPARE(loaded.assignment, QStringLiteral("RDO"));
    QVERIFY(!loaded.showPaydays && !loaded.showDebit && !loaded.showPayPeriods);
    QCOMPARE(loaded.payPeriodStart, serialFromYmd(2020, 12, 20));
    QCOMPARE(loaded.aPlt, TAlphaColor(0xFFFF0000));
    QCOMPARE(loaded.bPlt, TAlphaColor(0xFF0000FF));
    QCOMPARE(loaded.xPlt, TAlphaColor(0xFFFF00FF));
    QCOMPARE(loaded.ldTr, TAlphaColor(0xFFC0C0C0));
    QCOMPARE(loaded.bkGr, TAlphaColor(0xFFFFFFFF));
    QVERIFY(!QFileInfo::exists(dir.filePath("Tourwise.ini")));
}

void TestSettingsFile::firstStartCreatesFoldersOnly() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = resolveSettingsFolder(dir.path());
    QCOMPARE(folder, dir.path() + "/Kestrand/Tourwise");
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(settingsFilePath(folder), folder + "/Tourwise.ini");
    QVERIFY(!QFileInfo::exists(settingsFilePath(folder)));
    // The next start finds the folder in place.
    QCOMPARE(resolveSettingsFolder(dir.path()), folder);
}

void TestSettingsFile::locationFallbacks_data() {
    QTest::addColumn<QStringList>("filesInTheWay");
    QTest::addColumn<QString>("expected"); // relative to the base, "" for the base itself
    QTest::newRow("Kestrand is a file") << QStringList{"Kestrand"} << QStringLiteral("/Tourwise");
    QTest::newRow("both are files") << QStringList{"Kestrand", "Tourwise"} << QString();
}

void TestSettingsFile::locationFallbacks() {
    QFETCH(QStringList, filesInTheWay);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& name : filesInTheWay)
        writeFile(dir.filePath(name), "in the way");
    const QString folder = resolveSettingsFolder(dir.path());
    QCOMPARE(folder, dir.path() + expected);
    QVERIFY(QFileInfo(folder).isDir());
    // A base given with its separator gets no second one.
    QCOMPARE(settingsFilePath(dir.path() + "/"), dir.path() + "/Tourwise.ini");
}

void TestSettingsFile::assignment_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("index");
    QTest::newRow("item text") << QByteArray("RDO=B3") << 10;
    QTest::newRow("lower case") << QByteArray("RDO=b3") << 10;
    QTest::newRow("first A") << QByteArray("RDO=a1") << 1;
    QTest::newRow("last B") << QByteArray("RDO=B7") << 14;
    QTest::newRow("none") << QByteArray("RDO=RDO") << 0;
    QTest::newRow("empty") << QByteArray("RDO=") << 0;
    QTest::newRow("missing") << QByteArray() << 0;
    QTest::newRow("unknown") << QByteArray("RDO=C1") << 0;
    QTest::newRow("only A-Z fold") << QByteArray("RDO=\xEF\xBD\x82\x33") << 0; // fullwidth b, 3
}

void TestSettingsFile::assignment() {
    QFETCH(QByteArray, line);
    QFETCH(int, index);
    SettingsFixture fixture;
    const StoredSettings loaded = fixture.load("[Config]\n" + line + "\n");
    QCOMPARE(assignmentIndex(loaded.assignment), index);
    QCOMPARE(loaded.assignment, assignmentItems().at(index));
    // Save writes the item's own text.
    QVERIFY(saveSettings(fixture.path(), loaded, false, UnitedStates));
    QCOMPARE(readIniString(fixture.path(), "Config", "RDO", QString()),
             assignmentItems().at(index));
}

void TestSettingsFile::switches_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("2") << QByteArray("2") << true;
    QTest::newRow("0x1") << QByteArray("0x1") << true;
    QTest::newRow("$A") << QByteArray("$A") << true;
    QTest::newRow("-1") << QByteArray("-1") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("0x0") << QByteArray("0x0") << false;
    QTest::newRow("yes") << QByteArray("yes") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("1a") << QByteArray("1a") << false;
}

void TestSettingsFile::switches() {
    QFETCH(QByteArray, text);
    QFETCH(bool, on);
    SettingsFixture fixture;
    const StoredSettings loaded =
        fixture.load("[Config]\nShowPaydays=" + text + "\nShowDebit=" + text +
                     "\nShowPayPeriods=" + text + "\n");
    QCOMPARE(loaded.showPaydays, on);
    QCOMPARE(loaded.showDebit, on);
    QCOMPARE(loaded.showPayPeriods, on);
}

void TestSettingsFile::payPeriodStartText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text"); // of 20 December 2020
    QTest::newRow("en_US") << QStringLiteral("en_US") << QStringLiteral("12/20/2020");
    QTest::newRow("en_GB") << QStringLiteral("en_GB") << QStringLiteral("20/12/2020");
    QTest::newRow("de_DE") << QStringLiteral("de_DE") << QStringLiteral("20.12.2020");
    QTest::newRow("ja_JP") << QStringLiteral("ja_JP") << QStringLiteral("2020/12/20");
    QTest::newRow("fr_FR") << QStringLiteral("fr_FR") << QStringLiteral("20/12/2020");
    QTest::newRow("C") << QStringLiteral("C") << QStringLiteral("20 Dec 2020");
}

void TestSettingsFile::payPeriodStartText() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    SettingsFixture fixture;
    QVERIFY(saveSettings(fixture.path(), StoredSettings{}, false, QLocale(locale)));
    QCOMPARE(readIniString(fixture.path(), "Config", "PPStart", QString()), text);
    QCOMPARE(loadSettings(fixture.path(), QLocale(locale)).payPeriodStart, 44185.0);

    // Other dates round-trip too, the century's edges included.
    for (const DateSerial date : {serialFromYmd(2016, 1, 1), serialFromYmd(2060, 12, 31),
                                  serialFromYmd(2000, 2, 29), serialFromYmd(2099, 7, 4)}) {
        const QString written = payPeriodStartToText(date, QLocale(locale));
        QCOMPARE(payPeriodStartFromText(written, QLocale(locale)), date);
    }
}

void TestSettingsFile::payPeriodStartRead_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<DateSerial>("expected");
    const DateSerial fallback = 44185; // 20 December 2020
    const DateSerial march7 = serialFromYmd(2021, 3, 7);

    QTest::newRow("en_US four digits") << "en_US"
                                       << "3/7/2021" << march7;
    QTest::newRow("en_US two digits") << "en_US"
                                      << "3/7/21" << march7;
    QTest::newRow("en_US leading zeros") << "en_US"
                                         << "03/07/2021" << march7;
    QTest::newRow("en_US ISO") << "en_US"
                               << "2021-03-07" << march7;
    QTest::newRow("en_US day first is no date") << "en_US"
                                                << "20/12/2020" << fallback;
    QTest::newRow("en_US three-digit year") << "en_US"
                                            << "3/7/202" << fallback;
    QTest::newRow("en_US garbage") << "en_US"
                                   << "soon" << fallback;
    QTest::newRow("en_US empty") << "en_US"
                                 << "" << fallback;
    QTest::newRow("en_US ISO invalid day") << "en_US"
                                           << "2021-02-30" << fallback;
    QTest::newRow("en_GB") << "en_GB"
                           << "07/03/2021" << march7;
    QTest::newRow("en_GB reads a US date in its order")
        << "en_GB"
        << "12/03/2021" << serialFromYmd(2021, 3, 12);
    QTest::newRow("en_GB US-only date") << "en_GB"
                                        << "12/20/2020" << fallback;
    QTest::newRow("en_GB two digits") << "en_GB"
                                      << "07/03/21" << fallback;
    QTest::newRow("de_DE four digits") << "de_DE"
                                       << "07.03.2021" << march7;
    QTest::newRow("de_DE two digits") << "de_DE"
                                      << "07.03.21" << march7;
    QTest::newRow("de_DE ISO") << "de_DE"
                               << "2021-03-07" << march7;
    QTest::newRow("de_DE slashes") << "de_DE"
                                   << "07/03/2021" << fallback;
    QTest::newRow("ja_JP") << "ja_JP"
                           << "2021/03/07" << march7;
    QTest::newRow("ja_JP US form") << "ja_JP"
                                   << "12/20/2020" << fallback;
    QTest::newRow("C") << "C"
                       << "7 Mar 2021" << march7;
}

void TestSettingsFile::payPeriodStartRead() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(DateSerial, expected);
    SettingsFixture fixture;
    const StoredSettings loaded =
        fixture.load(("[Config]\nPPStart=" + text + "\n").toUtf8(), QLocale(locale));
    QCOMPARE(loaded.payPeriodStart, expected);
}

void TestSettingsFile::colors_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<TAlphaColor>("aPlt");
    QTest::addColumn<TAlphaColor>("bkGr");
    QTest::newRow("clRed") << QByteArray("APlt=clRed") << Colors::Red << Colors::White;
    QTest::newRow("#FFFF0000") << QByteArray("APlt=#FFFF0000") << Colors::Red << Colors::White;
    QTest::newRow("lower-case name") << QByteArray("APlt=navy") << Colors::Navy << Colors::White;
    QTest::newRow("transparent # form")
        << QByteArray("APlt=#FF0000") << TAlphaColor(0x00FF0000) << Colors::White;
    QTest::newRow("bad crew A colour")
        << QByteArray("APlt=Reddish") << Colors::Red << Colors::White;
    QTest::newRow("bad background") << QByteArray("BkGr=#GG0000") << Colors::Red << Colors::White;
    QTest::newRow("empty background") << QByteArray("BkGr=") << Colors::Red << Colors::White;
    QTest::newRow("Null background") << QByteArray("BkGr=Null") << Colors::Red << Colors::Null;
}

void TestSettingsFile::colors() {
    QFETCH(QByteArray, line);
    QFETCH(TAlphaColor, aPlt);
    QFETCH(TAlphaColor, bkGr);
    SettingsFixture fixture;
    const StoredSettings loaded = fixture.load("[Colors]\n" + line + "\n");
    QCOMPARE(loaded.aPlt, aPlt);
    QCOMPARE(loaded.bkGr, bkGr);
}

void TestSettingsFile::agency_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    const QString longest(MaxIniValueLength, u'x');
    QTest::newRow("typed title") << QStringLiteral("Ostbrook FD") << QStringLiteral("Ostbrook FD");
    QTest::newRow("empty title") << QString() << QStringLiteral("Velmora Fire");
    QTest::newRow("2,100 characters") << longest + QString(53, u'y') << longest;
    QTest::newRow("markup and emoji") << QStringLiteral("<b>Fire</b> &amp; \U0001F692")
                                      << QStringLiteral("<b>Fire</b> &amp; \U0001F692");
}

void TestSettingsFile::agency() {
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    SettingsFixture fixture;
    StoredSettings values;
    values.agency = stored;
    QVERIFY(saveSettings(fixture.path(), values, true, UnitedStates));
    QCOMPARE(readIniString(fixture.path(), "Config", "Agency", "<missing>").size(),
             std::min(stored.size(), MaxIniValueLength));
    QCOMPARE(loadSettings(fixture.path(), UnitedStates).agency, loaded);
}

void TestSettingsFile::freshFileLayout() {
    SettingsFixture fixture;
    StoredSettings values;
    values.agency = QStringLiteral("Ostbrook FD");
    values.assignment = QStringLiteral("B3");
    values.showPaydays = true;
    values.showPayPeriods = true;
    values.xPlt = 0xFFFF00FF; // chosen as Magenta, stored by its first name
    values.bkGr = 0xFF123456;
    QVERIFY(saveSettings(fixture.path(), values, true, UnitedStates));
    QCOMPARE(fileBytes(fixture.path()), QByteArray("[Config]\n"
                                                   "Agency=Ostbrook FD\n"
                                                   "RDO=B3\n"
                                                   "ShowPaydays=1\n"
                                                   "ShowDebit=0\n"
                                                   "ShowPayPeriods=1\n"
                                                   "PPStart=12/20/2020\n"
                                                   "[Colors]\n"
                                                   "APlt=Red\n"
                                                   "BPlt=Blue\n"
                                                   "XPlt=Fuchsia\n"
                                                   "LdTr=Silver\n"
                                                   "BkGr=#FF123456\n"));
}

void TestSettingsFile::saveLoadRoundTrip_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("en_US") << QStringLiteral("en_US");
    QTest::newRow("de_DE") << QStringLiteral("de_DE");
}

void TestSettingsFile::saveLoadRoundTrip() {
    QFETCH(QString, locale);
    SettingsFixture fixture;
    StoredSettings values;
    values.agency = QStringLiteral(" Feuerwehr \"Köln\" ");
    values.assignment = QStringLiteral("A7");
    values.showDebit = true;
    values.payPeriodStart = serialFromYmd(2031, 1, 5);
    values.aPlt = 0x80FF0000; // outside the table
    values.bPlt = Colors::Navy;
    values.xPlt = Colors::Dimgray;
    values.ldTr = Colors::Null;
    values.bkGr = 0x00000001;
    QVERIFY(saveSettings(fixture.path(), values, true, QLocale(locale)));
    QCOMPARE(loadSettings(fixture.path(), QLocale(locale)), values);
}

void TestSettingsFile::saveWithoutAgencyKeepsStoredTitle() {
    SettingsFixture fixture;
    StoredSettings values;
    values.agency = QStringLiteral("Other Dept");
    QVERIFY(saveSettings(fixture.path(), values, true, UnitedStates));

    // The box shows the loaded title, so Save leaves the stored one alone.
    values.agency = QStringLiteral("Velmora Fire");
    values.showPaydays = true;
    QVERIFY(saveSettings(fixture.path(), values, false, UnitedStates));
    const StoredSettings loaded = loadSettings(fixture.path(), UnitedStates);
    QCOMPARE(loaded.agency, QStringLiteral("Other Dept"));
    QVERIFY(loaded.showPaydays);

    // Without a stored title none is added.
    SettingsFixture fresh;
    QVERIFY(saveSettings(fresh.path(), values, false, UnitedStates));
    QVERIFY(!fileBytes(fresh.path()).contains("Agency"));
}

void TestSettingsFile::refusedSave_data() {
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("folder where the file should be") << true;
    QTest::newRow("title with a line break") << false;
}

void TestSettingsFile::refusedSave() {
    QFETCH(bool, folderInTheWay);
    SettingsFixture fixture;
    StoredSettings values;
    values.showPaydays = true;
    if (folderInTheWay) {
        QVERIFY(QDir().mkdir(fixture.path()));
        writeFile(fixture.path() + "/inside", "old");
    } else {
        writeFile(fixture.path(), "; mine\r\n[Config]\r\nShowPaydays=0\r\n");
        values.agency = QStringLiteral("Two\nlines");
    }
    const QByteArray before =
        fileBytes(folderInTheWay ? fixture.path() + "/inside" : fixture.path());

    QVERIFY(!saveSettings(fixture.path(), values, true, UnitedStates));
    QCOMPARE(QFileInfo(fixture.path()).isDir(), folderInTheWay);
    QCOMPARE(fileBytes(folderInTheWay ? fixture.path() + "/inside" : fixture.path()), before);
    QCOMPARE(QDir(QFileInfo(fixture.path()).path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"Tourwise.ini"});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
