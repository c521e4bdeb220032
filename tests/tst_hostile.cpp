// Hostile input against the real window: broken settings files, a settings path that cannot be
// written, titles that look like markup or are very long, and a long run of random keys and
// clicks. Whatever comes in, the window starts sane, a refused Save says so and keeps the old
// file, and the calendar's invariants hold.
#include "windowfixture.h"

#include "platform/errorreport.h"
#include "settings/inistore.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QRandomGenerator>
#include <QTabBar>

#include <cmath>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr DateSerial FirstViewDate = 42370; // 1 January 2016
constexpr DateSerial LastViewDate = 58806;  // 31 December 2060
const QDate Today(2026, 12, 10);
const QLocale EnUs(QLocale::English, QLocale::UnitedStates);
constexpr TAlphaColor Lime = 0xFF00FF00;
constexpr TAlphaColor Teal = 0xFF008080;

QString settingsFolderIn(const QString& base) {
    return base + QStringLiteral("/Kestrand/Tourwise");
}

QString settingsFileIn(const QString& base) {
    return settingsFolderIn(base) + QStringLiteral("/Tourwise.ini");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray realFile() {
    return "[Config]\nAgency=Old Station\nRDO=B3\nShowPaydays=1\nPPStart=12/20/2020\n"
           "[Colors]\nAPlt=Lime\nBkGr=Navy\n";
}

// The calendar's invariants: a whole selected day in the view range, and a grid of 42
// consecutive days from the Sunday on or before the first of the selection's month.
void verifyCalendarInvariants(const ProgramState& state) {
    QVERIFY(state.SelectedDate >= FirstViewDate && state.SelectedDate <= LastViewDate);
    QCOMPARE(std::floor(state.SelectedDate), state.SelectedDate);
    const QDate selected = qdateFromSerial(state.SelectedDate);
    const QDate monthStart(selected.year(), selected.month(), 1);
    const QDate gridStart = qdateFromSerial(state.GridDates[0]);
    QCOMPARE(gridStart.dayOfWeek(), int(Qt::Sunday));
    QVERIFY(gridStart <= monthStart && gridStart.daysTo(monthStart) < 7);
    for (size_t k = 1; k < state.GridDates.size(); ++k)
        QCOMPARE(state.GridDates[k], state.GridDates[0] + double(k));
}

// What start-up must give whatever the file held.
void verifySaneStart(WindowFixture& window) {
    QVERIFY(window.ready);
    verifyCalendarInvariants(window.state());
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(window.selected(), Today);
    QCOMPARE(window.form->frameGeometry().size(), QSize(350, 640));
    QVERIFY(window.form->cbPlt->currentIndex() >= 0 && window.form->cbPlt->currentIndex() <= 14);
    QCOMPARE(std::floor(window.state().PayPeriodStart), window.state().PayPeriodStart);
    QVERIFY(!window.state().LoadedAgency.isEmpty());
    QVERIFY(window.state().LoadedAgency.size() <= MaxIniValueLength);
    QVERIFY(!window.form->lblToolbar1->text().isEmpty());
}

// Collects what Save would show in its message box.
struct ReportedErrors {
    QStringList messages;
    ReportedErrors() {
        setErrorReporter([this](const QString& message) { messages << message; });
    }
    ~ReportedErrors() { setErrorReporter({}); }
    ReportedErrors(const ReportedErrors&) = delete;
    ReportedErrors& operator=(const ReportedErrors&) = delete;
};

} // namespace

class HostileTest : public QObject {
    Q_OBJECT

private slots:
    void startsSaneWhateverTheFileHolds_data();
    void startsSaneWhateverTheFileHolds();
    void saveToAHostilePath_data();
    void saveToAHostilePath();
    void saveOnAFullDisk();
    void settingsPathThatIsNoPlainFile_data();
    void settingsPathThatIsNoPlainFile();
    void untouchedValuesAreNotRewritten_data();
    void untouchedValuesAreNotRewritten();
    void editedTitleWithHalfASurrogatePair();
    void agencyTitleIsShownAndStoredLiterally_data();
    void agencyTitleIsShownAndStoredLiterally();
    void unstorableAgencyTitle_data();
    void unstorableAgencyTitle();
    void typedControlCharactersDoNotReachTheTitle();
    void randomKeysAndClicksKeepTheInvariants();
};

void HostileTest::startsSaneWhateverTheFileHolds_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("assignment"); // index of cbPlt
    QTest::addColumn<QString>("agency");
    QTest::addColumn<TAlphaColor>("crewA");
    QTest::addColumn<QDate>("payPeriodStart");

    const QString title = QString::fromLatin1(DefaultAgencyTitle);
    const QDate defaultStart(2020, 12, 20);
    QTest::newRow("empty") << QByteArray() << 0 << title << Colors::Red << defaultStart;

    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator bytes(2718);
    for (char& byte : garbage)
        byte = char(bytes.bounded(256));
    QTest::newRow("binary garbage") << garbage << 0 << title << Colors::Red << defaultStart;

    // Ten thousand lines of a thousand characters before the keys.
    QByteArray large = "[Config]\n";
    const QByteArray filler = "; " + QByteArray(997, 'p') + '\n';
    while (large.size() < 10 * 1024 * 1024)
        large += filler;
    large += "RDO=A2\n[Colors]\nAPlt=Lime\n";
    QTest::newRow("10 MB") << large << 2 << title << Lime << defaultStart;

    QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << 0 << title << Colors::Red
                                << defaultStart;
    // Without its BOM a UTF-16 file reads as UTF-8 full of NULs: no name matches.
    const QString utf16Text = QStringLiteral("[Config]\nRDO=B2\nAgency=Wide\n");
    QTest::newRow("UTF-16 without BOM")
        << QByteArray(reinterpret_cast<const char*>(utf16Text.utf16()), utf16Text.size() * 2) << 0
        << title << Colors::Red << defaultStart;
    QTest::newRow("UTF-16 with BOM")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(utf16Text.utf16()), utf16Text.size() * 2)
        << 9 << QStringLiteral("Wide") << Colors::Red << defaultStart;
    QTest::newRow("keys in odd case and with blanks")
        << QByteArray("  [ cOnFiG ]  \n  rdo =  b3  \n\tAGENCY\t=\t Station 9 \n[colors]\n"
                      " aplt = lime \n")
        << 10 << QStringLiteral("Station 9") << Lime << defaultStart;
    QTest::newRow("duplicated sections: the first wins")
        << QByteArray("[Config]\nRDO=A1\n[Colors]\nAPlt=Lime\n[Config]\nRDO=B7\nAgency=Second\n"
                      "[Colors]\nAPlt=Navy\n")
        << 1 << title << Lime << defaultStart;
    QTest::newRow("colour of 40 hex digits") << "[Colors]\nAPlt=#" + QByteArray(40, 'F') + '\n'
                                             << 0 << title << Colors::Red << defaultStart;
    static const char withNul[] = "[Config]\nRDO=A\0002\nAgency=A\000B\n";
    // The one-line box shows a NUL as a blank, as it does a pasted one.
    QTest::newRow("NUL bytes") << QByteArray(withNul, sizeof withNul - 1) << 0
                               << QStringLiteral("A B") << Colors::Red << defaultStart;
    QTest::newRow("lone CR line ends") << QByteArray("[Config]\rRDO=A5\r[Colors]\rAPlt=Teal\r") << 5
                                       << title << Teal << defaultStart;
    QTest::newRow("[ without ]") << QByteArray("[Config\nRDO=A4\n") << 0 << title << Colors::Red
                                 << defaultStart;
    QTest::newRow("PPStart after 2060") << QByteArray("[Config]\nPPStart=3/1/2061\n") << 0 << title
                                        << Colors::Red << QDate(2061, 3, 1);
    QTest::newRow("PPStart before 2016") << QByteArray("[Config]\nPPStart=12/31/2015\n") << 0
                                         << title << Colors::Red << QDate(2015, 12, 31);
    QTest::newRow("PPStart before 1900") << QByteArray("[Config]\nPPStart=1/1/1899\n") << 0 << title
                                         << Colors::Red << QDate(1899, 1, 1);
    QTest::newRow("PPStart in year 1") << QByteArray("[Config]\nPPStart=0001-01-01\n") << 0 << title
                                       << Colors::Red << QDate(1, 1, 1);
    QTest::newRow("PPStart not a date") << QByteArray("[Config]\nPPStart=13/45/2020\n") << 0
                                        << title << Colors::Red << defaultStart;
    QTest::newRow("RDO with 2,047 characters") << "[Config]\nRDO=" + QByteArray(2047, 'A') + '\n'
                                               << 0 << title << Colors::Red << defaultStart;
    QTest::newRow("Agency of 3,000 characters is cut")
        << "[Config]\nAgency=" + QByteArray(3000, 'T') + '\n'
        << 0 << QString(2047, u'T') << Colors::Red << defaultStart;
}

void HostileTest::startsSaneWhateverTheFileHolds() {
    QFETCH(QByteArray, content);
    QFETCH(int, assignment);
    QFETCH(QString, agency);
    QFETCH(TAlphaColor, crewA);
    QFETCH(QDate, payPeriodStart);

    QTemporaryDir base;
    QVERIFY(writeFile(settingsFileIn(base.path()), content));
    WindowFixture window(Today, EnUs, base.path());
    verifySaneStart(window);
    QCOMPARE(window.form->cbPlt->currentIndex(), assignment);
    QCOMPARE(window.form->edAgency->text(), agency);
    QCOMPARE(window.state().APltColor, crewA);
    QCOMPARE(qdateFromSerial(window.state().PayPeriodStart), payPeriodStart);
}

void HostileTest::saveToAHostilePath_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("saved");
    // Where the file's content is checked afterwards, relative to the settings folder.
    QTest::addColumn<QString>("contentAt");

    QTest::newRow("plain file") << "plain" << true << "Tourwise.ini";
    QTest::newRow("a folder in the way") << "folder" << false << "";
    QTest::newRow("symbolic link: the target is updated") << "link" << true << "../target.ini";
    QTest::newRow("dangling link: the target is created") << "dangling" << true << "../target.ini";
    QTest::newRow("dangling link into a missing folder") << "dangling-nowhere" << false << "";
    QTest::newRow("link loop") << "loop" << false << "";
    QTest::newRow("folder removed after start-up") << "vanished" << false << "";
}

// Save always writes the whole file or nothing; a refusal shows the path and keeps what was.
void HostileTest::saveToAHostilePath() {
    QFETCH(QString, setup);
    QFETCH(bool, saved);
    QFETCH(QString, contentAt);

    QTemporaryDir base;
    const QString folder = settingsFolderIn(base.path());
    const QString path = settingsFileIn(base.path());
    const QString target = folder + QStringLiteral("/../target.ini");
    QVERIFY(QDir().mkpath(folder));
    if (setup == "plain") {
        QVERIFY(writeFile(path, realFile()));
    } else if (setup == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (setup == "link") {
        QVERIFY(writeFile(target, realFile()));
        QVERIFY(QFile::link(QStringLiteral("../target.ini"), path));
    } else if (setup == "dangling") {
        QVERIFY(QFile::link(QStringLiteral("../target.ini"), path));
    } else if (setup == "dangling-nowhere") {
        QVERIFY(QFile::link(QStringLiteral("../missing/target.ini"), path));
    } else if (setup == "loop") {
        QVERIFY(QFile::link(QStringLiteral("Tourwise.ini"), path));
    }

    WindowFixture window(Today, EnUs, base.path());
    verifySaneStart(window);
    QCOMPARE(window.state().IniPath, path);
    if (setup == "vanished")
        QVERIFY(QDir(settingsFolderIn(base.path())).removeRecursively());

    window.form->tabCtrl->setActivePage(window.form->tabSettings);
    window.form->edAgency->setText(QStringLiteral("New Station"));
    window.form->cbPlt->setCurrentIndex(4);
    const QByteArray before = readFile(target);
    ReportedErrors errors;
    window.clickSave();

    if (!saved) {
        QCOMPARE(errors.messages, QStringList{"Unable to write to " + path + "."});
        // The failed Save changed nothing: same page, same values, same files.
        QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabSettings);
        QCOMPARE(window.form->cbPlt->currentIndex(), 4);
        QCOMPARE(readFile(target), before);
        if (setup == "folder")
            QVERIFY(QFileInfo(path).isDir());
        if (setup == "vanished")
            QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(QDir(base.path() + "/Kestrand").entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        return;
    }
    QCOMPARE(errors.messages, QStringList());
    QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabCalendar);
    if (setup == "link" || setup == "dangling")
        QVERIFY(QFileInfo(path).isSymLink());
    const IniDocument written = IniDocument::fromBytes(readFile(folder + "/" + contentAt));
    QCOMPARE(written.value(u"Config", u"Agency"), QStringLiteral("New Station"));
    QCOMPARE(written.value(u"Config", u"RDO"), QStringLiteral("A4"));
    if (setup != "dangling") // the other keys of an existing file stay
        QCOMPARE(written.value(u"Colors", u"BkGr"), QStringLiteral("Navy"));
    // No temporary file is left next to it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{"Tourwise.ini"});
}

// A disk that fills up during Save must leave the old file whole.
void HostileTest::saveOnAFullDisk() {
    QTemporaryDir mountPoint;
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };
    if (!run(QStringLiteral("mount"),
             {"-t", "tmpfs", "-o", "size=16k", "tmpfs", mountPoint.path()}))
        QSKIP("mounting a 16 KiB tmpfs needs root and mount rights");
    const auto unmount = qScopeGuard([&] { run(QStringLiteral("umount"), {mountPoint.path()}); });

    const QString path = settingsFileIn(mountPoint.path());
    QVERIFY(writeFile(path, realFile()));
    WindowFixture window(Today, EnUs, mountPoint.path());
    verifySaneStart(window);
    // Fill what is left of the disk.
    {
        QFile filler(mountPoint.path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

    window.form->edAgency->setText(QStringLiteral("New Station"));
    ReportedErrors errors;
    window.form->bSaveClick();
    QCOMPARE(errors.messages, QStringList{"Unable to write to " + path + "."});
    QCOMPARE(readFile(path), realFile());
    QCOMPARE(QDir(settingsFolderIn(mountPoint.path())).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Tourwise.ini"});
}

void HostileTest::settingsPathThatIsNoPlainFile_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("saved");
    QTest::newRow("named pipe") << "fifo" << false;
    QTest::newRow("link to /dev/zero") << "zero" << false;
    QTest::newRow("file over the size cap") << "huge" << false;
    QTest::newRow("read-only folder, writable file, ordinary user") << "read-only folder" << true;
}

// Only a regular file of a sane size is ever read: a named pipe would block start-up, a device
// would be read until memory runs out. Such a file gives the defaults and Save refuses it,
// leaving it as it was. A file the user may write in a folder the user may not is written.
void HostileTest::settingsPathThatIsNoPlainFile() {
    QFETCH(QString, setup);
    QFETCH(bool, saved);

    QTemporaryDir base;
    const QString folder = settingsFolderIn(base.path());
    const QString path = settingsFileIn(base.path());
    QVERIFY(QDir().mkpath(folder));
    const QByteArray keys = "[Config]\nRDO=B2\nAgency=Old Station\n";
    bool dropPrivileges = false;
    if (setup == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (setup == "zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (setup == "huge") {
        QVERIFY(writeFile(path, keys));
        QFile file(path);
        QVERIFY(file.resize(MaxIniFileSize + 1)); // sparse: costs no disk
    } else {
        QVERIFY(writeFile(path, keys));
        // Root writes anywhere: the Save below runs as an ordinary user where the test can
        // switch to one, as the owner of the settings file otherwise.
        dropPrivileges = geteuid() == 0;
        if (dropPrivileges) {
            for (const QString& parent : {base.path(), base.path() + "/Kestrand"})
                QCOMPARE(chmod(QFile::encodeName(parent).constData(), 0755), 0);
            QCOMPARE(chmod(QFile::encodeName(path).constData(), 0666), 0);
        }
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    }
    const auto restore = qScopeGuard([&] { chmod(QFile::encodeName(folder).constData(), 0700); });
    // Neither a pipe nor a device is read here either.
    const bool special = setup == "fifo" || setup == "zero";
    const QByteArray before = special ? QByteArray() : readFile(path);

    WindowFixture window(Today, EnUs, base.path());
    verifySaneStart(window);
    const int expectedAssignment = setup == "read-only folder" ? 9 : 0; // B2 only where readable
    QCOMPARE(window.form->cbPlt->currentIndex(), expectedAssignment);

    QTest::mouseClick(window.form->tabCtrl->tabBar(), Qt::LeftButton, {},
                      window.form->tabCtrl->tabBar()->tabRect(1).center());
    window.form->cbPlt->setCurrentIndex(4);
    ReportedErrors errors;
    if (dropPrivileges)
        QCOMPARE(seteuid(65534), 0); // nobody
    window.clickSave();
    if (dropPrivileges)
        QCOMPARE(seteuid(0), 0);

    if (!saved) {
        QCOMPARE(errors.messages, QStringList{"Unable to write to " + path + "."});
        QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabSettings);
        if (setup == "fifo")
            QVERIFY(!QFileInfo(path).isFile() && QFileInfo::exists(path));
        if (setup == "zero")
            QCOMPARE(QFileInfo(path).symLinkTarget(), QStringLiteral("/dev/zero"));
        if (!special)
            QCOMPARE(readFile(path), before);
        return;
    }
    QCOMPARE(errors.messages, QStringList());
    QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabCalendar);
    const IniDocument written = IniDocument::fromBytes(readFile(path));
    QCOMPARE(written.value(u"Config", u"RDO"), QStringLiteral("A4"));
    QCOMPARE(written.value(u"Config", u"Agency"), QStringLiteral("Old Station"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{"Tourwise.ini"});
}

void HostileTest::untouchedValuesAreNotRewritten_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown"); // by the agency box, or the pay-period editor
    QTest::newRow("title holding a NUL") << QByteArray("Agency=A\0B", 10) << "A B";
    QTest::newRow("pay-period start before 1900") << QByteArray("PPStart=1/1/1899") << "1/1/1900";
}

// A value that the window can only show changed (a NUL as a blank, a date before the editor's
// first date as that date) stays in the file as it was when the user leaves it alone; every
// Save would otherwise rewrite it.
void HostileTest::untouchedValuesAreNotRewritten() {
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);

    QTemporaryDir base;
    const QString path = settingsFileIn(base.path());
    QVERIFY(writeFile(path, "[Config]\n" + line + "\nRDO=B2\n"));
    WindowFixture window(Today, EnUs, base.path());
    verifySaneStart(window);
    const bool title = line.startsWith("Agency");
    QCOMPARE(title ? window.form->edAgency->text() : window.form->dePPStart->text(), shown);

    QTest::mouseClick(window.form->tabCtrl->tabBar(), Qt::LeftButton, {},
                      window.form->tabCtrl->tabBar()->tabRect(1).center());
    window.form->cbPlt->setCurrentIndex(4);
    ReportedErrors errors;
    window.clickSave();
    QCOMPARE(errors.messages, QStringList());
    const QByteArray saved = readFile(path);
    QVERIFY2(saved.contains("\n" + line + "\n"), saved.constData());
    QVERIFY(saved.contains("RDO=A4"));

    // Changed by the user, it is written.
    if (title) {
        window.form->edAgency->setText(QStringLiteral("Station 9"));
    } else {
        window.form->dePPStart->setDate(QDate(2021, 1, 3));
        window.form->dePPStartClosePicker();
    }
    QTest::mouseClick(window.form->tabCtrl->tabBar(), Qt::LeftButton, {},
                      window.form->tabCtrl->tabBar()->tabRect(1).center());
    window.clickSave();
    QCOMPARE(errors.messages, QStringList());
    QVERIFY(readFile(path).contains(title ? "Agency=Station 9" : "PPStart=1/3/2021"));
}

// Half a surrogate pair cannot be written in any file encoding; a hand-edited UTF-16 file may
// still hold one. The box shows it as the replacement character, and an edited title saves.
void HostileTest::editedTitleWithHalfASurrogatePair() {
    QTemporaryDir base;
    const QString path = settingsFileIn(base.path());
    QString text = QStringLiteral("[Config]\nAgency=Station ");
    text += QChar(0xD83D); // the first half of an emoji, alone
    text += QStringLiteral("\n");
    QVERIFY(writeFile(
        path, QByteArray("\xFF\xFE") +
                  QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)));
    const QString shown = QStringLiteral("Station ") + QChar(QChar::ReplacementCharacter);
    {
        WindowFixture window(Today, EnUs, base.path());
        verifySaneStart(window);
        QCOMPARE(window.form->edAgency->text(), shown);
        QTest::mouseClick(window.form->tabCtrl->tabBar(), Qt::LeftButton, {},
                          window.form->tabCtrl->tabBar()->tabRect(1).center());
        QTest::mouseClick(window.form->edAgency, Qt::LeftButton);
        QTest::keyClick(window.form->edAgency, Qt::Key_End);
        QTest::keyClicks(window.form->edAgency, QStringLiteral("9"));
        ReportedErrors errors;
        window.clickSave();
        QCOMPARE(errors.messages, QStringList());
    }
    WindowFixture restarted(Today, EnUs, base.path());
    QCOMPARE(restarted.form->edAgency->text(), shown + QStringLiteral("9"));
}

void HostileTest::agencyTitleIsShownAndStoredLiterally_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("typed"); // typed key by key, else set as by a paste

    QTest::newRow("bold markup") << QStringLiteral("<b>x</b>") << true;
    QTest::newRow("image markup") << QStringLiteral("<img src=x>") << true;
    QTest::newRow("entity") << QStringLiteral("&amp; &lt;") << true;
    QTest::newRow("Arabic") << QStringLiteral("\u0645\u0631\u0643\u0632 \u0627\u0644\u0625\u0637"
                                              "\u0641\u0627\u0621 7")
                            << false;
    QTest::newRow("Hebrew with a bidi override")
        << QStringLiteral("\u202E\u05EA\u05D7\u05E0\u05D4 \u202C12") << false;
    QTest::newRow("emoji") << QStringLiteral("\U0001F692\U0001F525 Station 3") << false;
    QTest::newRow("quotes and blanks at the ends") << QStringLiteral(" \"Station\" ") << true;
    QTest::newRow("looks like a section") << QStringLiteral("[Colors]") << true;
    QTest::newRow("10,000 characters") << QString(10000, u'W') << false;
    // Cut to 2,047 characters, less one where that would split a surrogate pair.
    QString pairs = QStringLiteral("ab");
    while (pairs.size() < 3000)
        pairs += QStringLiteral("\U0001F692");
    QTest::newRow("emoji across the cut") << pairs << false;
    QTest::newRow("tab, escape, delete, bell") << QStringLiteral("a\tb\x1B"
                                                                 "c\x7F"
                                                                 "d\x07")
                                               << false;
}

void HostileTest::agencyTitleIsShownAndStoredLiterally() {
    QFETCH(QString, title);
    QFETCH(bool, typed);

    QString stored = title.left(MaxIniValueLength);
    if (stored.size() == MaxIniValueLength && stored.back().isHighSurrogate())
        stored.chop(1);

    QTemporaryDir base;
    {
        WindowFixture window(Today, EnUs, base.path());
        QVERIFY(window.ready);
        const QSize size = window.form->size();
        window.form->tabCtrl->setActivePage(window.form->tabSettings);
        window.form->edAgency->clear();
        if (typed) {
            window.form->edAgency->setFocus();
            QTest::keyClicks(window.form->edAgency, title);
        } else {
            window.form->edAgency->setText(title);
        }
        QCOMPARE(window.form->edAgency->text(), title);
        ReportedErrors errors;
        window.clickSave();
        QCOMPARE(errors.messages, QStringList());
        QCOMPARE(window.form->lblToolbar1->text(), title);
        QCOMPARE(window.form->size(), size);
        verifyCalendarInvariants(window.state());
    }
    WindowFixture restarted(Today, EnUs, base.path());
    verifySaneStart(restarted);
    QCOMPARE(restarted.form->edAgency->text(), stored);
    QCOMPARE(restarted.form->lblToolbar1->text(), stored);
}

// CR, LF and NUL cannot live inside one line of the file. Typing cannot put them into the box,
// and a paste gets blanks in their place: Save then stores the title and a restart shows it.
void HostileTest::unstorableAgencyTitle_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("NUL") << QStringLiteral("Sta") + QChar(0) + QStringLiteral("tion")
                         << QStringLiteral("Sta tion");
    QTest::newRow("LF") << QStringLiteral("Station\n9") << QStringLiteral("Station 9");
    QTest::newRow("CR") << QStringLiteral("Station\r9") << QStringLiteral("Station 9");
    QTest::newRow("CRLF at the end")
        << QStringLiteral("Station 9\r\n") << QStringLiteral("Station 9  ");
}

void HostileTest::unstorableAgencyTitle() {
    QFETCH(QString, pasted);
    QFETCH(QString, kept);

    QTemporaryDir base;
    const QString path = settingsFileIn(base.path());
    QVERIFY(writeFile(path, realFile()));
    {
        WindowFixture window(Today, EnUs, base.path());
        QVERIFY(window.ready);
        window.form->tabCtrl->setActivePage(window.form->tabSettings);
        window.form->edAgency->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        window.form->edAgency->paste();
        QCOMPARE(window.form->edAgency->text(), kept);
        ReportedErrors errors;
        window.clickSave();
        QVERIFY(errors.messages.isEmpty());
        QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabCalendar);
    }
    WindowFixture restarted(Today, EnUs, base.path());
    QCOMPARE(restarted.form->edAgency->text(), kept);
}

// Typing never puts a line break or a control character into the one-line box.
void HostileTest::typedControlCharactersDoNotReachTheTitle() {
    WindowFixture window(Today, EnUs);
    QVERIFY(window.ready);
    window.form->tabCtrl->setActivePage(window.form->tabSettings);
    window.form->edAgency->clear();
    window.form->edAgency->setFocus();
    QTest::keyClicks(window.form->edAgency, QStringLiteral("a"));
    QTest::keyClick(window.form->edAgency, Qt::Key_Return);
    QTest::keyClicks(window.form->edAgency, QStringLiteral("b"));
    QTest::keyClick(window.form->edAgency, Qt::Key_Enter);
    QTest::keyClicks(window.form->edAgency, QStringLiteral("c"));
    QTest::keyClick(window.form->edAgency, Qt::Key_At, Qt::ControlModifier); // NUL on a terminal
    QTest::keyClick(window.form->edAgency, Qt::Key_BracketLeft, Qt::ControlModifier); // ESC
    QCOMPARE(window.form->edAgency->text(), QStringLiteral("abc"));
}

// A thousand random key presses and clicks over all four pages, with a fixed seed. Popups that
// a click or key opens are closed at once; Save writes into the test's own folder.
void HostileTest::randomKeysAndClicksKeepTheInvariants() {
    WindowFixture window(Today, EnUs);
    QVERIFY(window.ready);
    ReportedErrors errors;
    TMainForm& form = *window.form;
    const QSize size = form.size();

    // The two links would hand addresses to the desktop; everything else may be clicked.
    std::vector<QWidget*> clickable;
    for (QWidget* control : form.registry().controls()) {
        if (control != form.sbHelp1 && control != form.sbHelp2)
            clickable.push_back(control);
    }
    const std::array<Qt::Key, 16> keys{
        Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,    Qt::Key_Down,
        Qt::Key_PageUp, Qt::Key_PageDown,  Qt::Key_Home,  Qt::Key_End,
        Qt::Key_Tab,    Qt::Key_Backtab,   Qt::Key_Space, Qt::Key_Return,
        Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_A,     Qt::Key_9};
    const std::array<Qt::KeyboardModifiers, 3> modifiers{Qt::NoModifier, Qt::ShiftModifier,
                                                         Qt::ControlModifier};

    QRandomGenerator random(20260610);
    for (int step = 0; step < 1000; ++step) {
        const quint32 action = random.bounded(10);
        if (action < 5) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
            QTest::keyClick(target, keys[random.bounded(quint32(keys.size()))],
                            modifiers[random.bounded(quint32(modifiers.size()))]);
        } else if (action < 6) {
            QTabBar* bar = form.tabCtrl->tabBar();
            const int page = int(random.bounded(quint32(bar->count())));
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        } else {
            QWidget* target = clickable[random.bounded(quint32(clickable.size()))];
            if (target->isVisible() && target->isEnabled()) {
                const QPoint at(int(random.bounded(quint32(qMax(1, target->width())))),
                                int(random.bounded(quint32(qMax(1, target->height())))));
                if (action == 9)
                    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
                else
                    QTest::mouseClick(target, Qt::LeftButton, {}, at);
            }
        }
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        verifyCalendarInvariants(form.state());
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("invariants broken after step %1").arg(step)));
    }
    QCOMPARE(form.size(), size);
    QVERIFY(form.cbPlt->currentIndex() >= 0 && form.cbPlt->currentIndex() <= 14);
    QCOMPARE(errors.messages, QStringList());
}

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
