// The watch on the days file as the window uses it: a store that looks again whenever the watch
// reports, while another process writes the same file, whether or not the file or its folders
// are there when the watch begins.
#include "days/databasefilewatch.h"
#include "days/entrystore.h"
#include "otherwindow.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

// Only a guard against a hang: nothing here measures how fast a report comes.
constexpr int Patience = 10000;

QStringList notes(const EntryStore& store) {
    QStringList found;
    for (const DayEntry& entry : store.allEntries())
        found << entry.note;
    return found;
}

// Another process that writes the file once and leaves: it adds the note "<tag> 0".
void addFromAnotherProcess(const QString& path, const QString& tag) {
    QProcess other;
    other.start(QStringLiteral(DAYS_WRITER_CHILD),
                {QStringLiteral("add"), path, QStringLiteral("1"), tag});
    QVERIFY(other.waitForFinished(60000));
    QVERIFY2(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0,
             other.readAllStandardError().constData());
}

// A store that looks again whenever its watch reports, as the window wires them.
struct WatchedStore {
    explicit WatchedStore(const QString& path) : store(path), watch(path) {
        QObject::connect(&watch, &DatabaseFileWatch::touched, &store,
                         &EntryStore::checkForOutsideChanges);
        watch.setWatching(true);
    }
    EntryStore store;
    DatabaseFileWatch watch;
};

} // namespace

class DatabaseFileWatchTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void seesAnotherProcessWrite_data();
    void seesAnotherProcessWrite();
    void followsAWriterThatNeverPauses();
    void ownWritesAreNotNews();
    void watchesNothingWhileOff();

private:
    QString pathIn(const QString& folders) const {
        return m_dir->filePath(folders + QStringLiteral("/Tourwise-days.sqlite"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void DatabaseFileWatchTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void DatabaseFileWatchTest::seesAnotherProcessWrite_data() {
    QTest::addColumn<QString>("folders"); // below the temporary folder
    QTest::addColumn<QString>("made");    // what exists when the watch begins
    QTest::addColumn<bool>("staysOpen");  // the writer keeps the file open between its writes
    QTest::newRow("file there, another window") << "data"
                                                << "file" << true;
    QTest::newRow("file there, a process per write") << "data"
                                                     << "file" << false;
    QTest::newRow("folder there, no file yet") << "data"
                                               << "folder" << true;
    QTest::newRow("no folder yet") << "data"
                                   << "nothing" << true;
    QTest::newRow("three folders to make") << "share/Kestrand/Tourwise"
                                           << "nothing" << false;
}

void DatabaseFileWatchTest::seesAnotherProcessWrite() {
    QFETCH(QString, folders);
    QFETCH(QString, made);
    QFETCH(bool, staysOpen);
    const QString path = pathIn(folders);
    if (made == QLatin1String("file"))
        addFromAnotherProcess(path, QStringLiteral("before"));
    else if (made == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));

    WatchedStore mine(path);
    QSignalSpy changed(&mine.store, &EntryStore::changed);
    std::optional<OtherWindow> other;
    if (staysOpen)
        other.emplace(path);
    // Twice: a process that leaves takes the log with it, and the next one makes it anew; one
    // that stays writes to the log only, after its first write made the file.
    for (const QString& tag : {QStringLiteral("first"), QStringLiteral("second")}) {
        QString note = tag;
        if (other) {
            QVERIFY(other->add(note));
        } else {
            addFromAnotherProcess(path, tag);
            note += QStringLiteral(" 0");
        }
        QTRY_VERIFY_WITH_TIMEOUT(notes(mine.store).contains(note) && !changed.isEmpty(), Patience);
        changed.clear();
    }
    QVERIFY(mine.watch.watchedPaths().contains(path));
}

void DatabaseFileWatchTest::followsAWriterThatNeverPauses() {
    const QString path = pathIn(QStringLiteral("data"));
    WatchedStore mine(path);
    QSignalSpy changed(&mine.store, &EntryStore::changed);
    QProcess writer;
    writer.start(QStringLiteral(DAYS_WRITER_CHILD), {QStringLiteral("pairs"), path});
    QVERIFY2(writer.waitForReadyRead(60000), writer.readAllStandardError().constData());
    // Reports keep coming while the writes do: a report that waited for a pause would never
    // come at all.
    QTRY_VERIFY_WITH_TIMEOUT(changed.size() >= 3, Patience);
    writer.kill();
    QVERIFY(writer.waitForFinished(60000));
}

void DatabaseFileWatchTest::ownWritesAreNotNews() {
    const QString path = pathIn(QStringLiteral("data"));
    WatchedStore mine(path);
    QSignalSpy touched(&mine.watch, &DatabaseFileWatch::touched);
    QVERIFY(touched.wait(Patience)); // the report that turning the watch on makes
    QSignalSpy changed(&mine.store, &EntryStore::changed);
    DayEntry note;
    note.date = serialFromYmd(2026, 3, 1);
    note.kind = EntryKind::Note;
    note.note = QStringLiteral("mine");
    QVERIFY(mine.store.add(note).ok);
    QCOMPARE(changed.size(), 1);
    // The watch sees the write like any other; the store knows it as its own and tells no day
    // again.
    QVERIFY(touched.wait(Patience));
    QCOMPARE(changed.size(), 1);
}

void DatabaseFileWatchTest::watchesNothingWhileOff() {
    const QString path = pathIn(QStringLiteral("data"));
    addFromAnotherProcess(path, QStringLiteral("before"));
    DatabaseFileWatch watch(path);
    QSignalSpy touched(&watch, &DatabaseFileWatch::touched);
    QVERIFY(!watch.isWatching());
    QVERIFY(watch.watchedPaths().isEmpty());

    watch.setWatching(true);
    QVERIFY(watch.watchedPaths().contains(QFileInfo(path).path()));
    QVERIFY(watch.watchedPaths().contains(path));
    QVERIFY(touched.wait(Patience)); // what happened while it was off is asked for at once
    watch.setWatching(false);
    QVERIFY(watch.watchedPaths().isEmpty());
    touched.clear();
    addFromAnotherProcess(path, QStringLiteral("unseen"));
    QTest::qWait(500); // not proof of silence, but a report would most likely have come by now
    QVERIFY(touched.isEmpty());
}

QTEST_GUILESS_MAIN(DatabaseFileWatchTest)
#include "tst_databasefilewatch.moc"
