// Publishing to a real Radicale: the first publish of about 500 events, a second that sends
// nothing, an edit that sends exactly the changed events, removals that touch only what Tourwise
// put there, a publish stopped half way (the server killed, or the ledger failing) finished by
// the next with nothing doubled or lost, and 412s replaced. What the server holds is read back
// with a real iCalendar reader (python3-icalendar) from a GET of the whole calendar.
#include "core/calendar.h"
#include "days/entrystore.h"
#include "days/publishledgerstore.h"
#include "export/caldavwait.h"
#include "export/calendarfile.h"
#include "export/davaddress.h"
#include "export/publisher.h"
#include "rotation/rotation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "caldavservers.h"
#include "caldavtesting.h"

namespace {

CalDavAccount account(const QString& password = TestPassword) {
    CalDavAccount account;
    account.user = TestUser;
    account.password = password;
    return account;
}

const QDateTime FirstStamp(QDate(2026, 3, 1), QTime(7, 0), Qt::UTC);

// The events of the calendar file of B2 over two years, as published.
QList<CalendarEvent> twoYears() {
    Schedule b2;
    b2.setCurrentAssignment(QStringLiteral("B2"));
    return CalendarEvents(b2, {serialFromYmd(2026, 1, 1), serialFromYmd(2027, 12, 31)}, {});
}

QList<PublishedEvent> published(const QList<CalendarEvent>& events,
                                const QDateTime& stamp = FirstStamp) {
    return PublishedEventsOf({QStringLiteral("Velmora Fire"), CalendarProductId(), stamp}, events);
}

// UID -> summary, for every event in the list.
QMap<QString, QString> summaries(const QList<CalendarEvent>& events) {
    QMap<QString, QString> byUid;
    for (const CalendarEvent& event : events)
        byUid.insert(CalendarEventUid(event), event.summary);
    return byUid;
}

// A publisher that reports every result through the test's own hooks.
PublishResult publishNow(const QUrl& calendar, const QList<PublishedEvent>& events,
                         PublishLedger& ledger, const std::function<void(Publisher&)>& hooks = {}) {
    Publisher publisher;
    if (hooks)
        hooks(publisher);
    return waitFor<PublishResult>([&](auto done) {
        QObject::connect(&publisher, &Publisher::finished, &publisher, done);
        QVERIFY(publisher.publish(calendar, account(), events, ledger));
    });
}

// Stops recording after `allowed` records, as a days file on a disk that fills up.
class FailingLedger : public PublishLedger {
public:
    FailingLedger(PublishLedger& inner, int allowed) : m_inner(inner), m_allowed(allowed) {}
    std::optional<QList<PublishedRecord>> load(const QString& calendar, QString* error) override {
        return m_inner.load(calendar, error);
    }
    bool record(const QString& calendar, const PublishedRecord& record, QString* error) override {
        if (m_allowed-- <= 0) {
            *error = QStringLiteral("The disk is full.");
            return false;
        }
        return m_inner.record(calendar, record, error);
    }
    bool forget(const QString& calendar, const QString& uid, QString* error) override {
        return m_inner.forget(calendar, uid, error);
    }

private:
    PublishLedger& m_inner;
    int m_allowed;
};

} // namespace

class PublisherTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void firstPublishThenNothingThenOnlyTheChanges();
    void stoppedServerHalfWay();
    void ledgerFailingHalfWay();
    void conflictsAreReplaced_data();
    void conflictsAreReplaced();
    void rememberedInTheDaysFile();
    void failuresChangeNothingRemembered_data();
    void failuresChangeNothingRemembered();

private:
    // A new empty calendar of its own for each test.
    QUrl makeCalendar(const QString& name);
    // UID -> summary of every event on the server; a UID held twice fails the test.
    QMap<QString, QString> onServer(const QUrl& calendar);
    QByteArray etagOnServer(const QUrl& resource);

    std::unique_ptr<QTemporaryDir> m_dir;
    RadicaleServer m_radicale;
    HostileServer m_hostile;
};

void PublisherTest::initTestCase() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY2(m_radicale.start(m_dir->filePath(QStringLiteral("radicale"))),
             qPrintable(m_radicale.log()));
    QVERIFY(m_hostile.start(m_dir->path()));
}

void PublisherTest::cleanupTestCase() {
    m_radicale.stop();
    m_hostile.stop();
}

QUrl PublisherTest::makeCalendar(const QString& name) {
    const QUrl url = m_radicale.url(QStringLiteral("/tester/%1/").arg(name));
    CalDavClient client(account());
    const DavResponse made = sendAndWait(client, {"MKCALENDAR", url, {}, {}, {}});
    if (made.status != 201)
        qWarning("MKCALENDAR %s: %d %s", qPrintable(url.toString()), made.status,
                 qPrintable(made.error));
    return url;
}

QMap<QString, QString> PublisherTest::onServer(const QUrl& calendar) {
    CalDavClient client(account());
    const DavResponse whole = sendAndWait(client, {"GET", calendar, {}, {}, {}});
    if (whole.status != 200) {
        qWarning("GET %s: %d %s", qPrintable(calendar.toString()), whole.status,
                 qPrintable(whole.error));
        return {};
    }
    const QString path = m_dir->filePath(QStringLiteral("collection.ics"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(whole.body) != whole.body.size())
        return {};
    file.close();
    QProcess reader;
    reader.start(QStringLiteral(DEBIAN_PYTHON3), {QStringLiteral(COLLECTION_READBACK), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning("reader: %s", reader.readAllStandardError().constData());
        return {};
    }
    QMap<QString, QString> byUid;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(reader.readAllStandardOutput()).array()) {
        const QString uid = value[QStringLiteral("uid")].toString();
        if (byUid.contains(uid)) {
            qWarning("the server holds %s twice", qPrintable(uid));
            return {};
        }
        byUid.insert(uid, value[QStringLiteral("summary")].toString());
    }
    return byUid;
}

QByteArray PublisherTest::etagOnServer(const QUrl& resource) {
    CalDavClient client(account());
    return waitFor<CalDavWrite>([&](auto done) { client.fetchEtag(resource, done); }).etag;
}

void PublisherTest::firstPublishThenNothingThenOnlyTheChanges() {
    const QUrl calendar = makeCalendar(QStringLiteral("first"));
    QList<CalendarEvent> events = twoYears();
    const int count = static_cast<int>(events.size());
    QVERIFY2(count > 450 && count < 600, qPrintable(QString::number(count)));
    MemoryPublishLedger ledger;

    PublishResult result = publishNow(calendar, published(events), ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.counts.added, count);
    QCOMPARE(result.requests, 1 + count);
    QCOMPARE(result.summary(),
             QStringLiteral("Published %1 events to %2 (%1 added, 0 updated, 0 removed, 0 "
                            "unchanged)")
                 .arg(count)
                 .arg(calendar.toString()));
    QCOMPARE(onServer(calendar), summaries(events));

    // An export made later differs in its stamps only: nothing to send but the listing.
    result = publishNow(calendar, published(events, FirstStamp.addDays(1)), ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.requests, 1);
    QCOMPARE(result.counts.unchanged, count);

    // Another program's event in the same calendar.
    const QUrl foreign = calendar.resolved(QUrl(QStringLiteral("foreign.ics")));
    QVERIFY(sendAndWait(*std::make_unique<CalDavClient>(account()),
                        {"PUT",
                         foreign,
                         foreignEvent(QStringLiteral("foreign-1"), "Dentist"),
                         "text/calendar",
                         {}})
                .status == 201);
    const QByteArray foreignEtag = etagOnServer(foreign);

    // Three edited, two gone, one new.
    for (const int index : {10, 200, 400}) {
        events[index].summary += QStringLiteral(" (edited)");
        ++events[index].sequence;
    }
    events.removeAt(300);
    events.removeAt(5);
    CalendarEvent extra = events.first();
    extra.kind = CalendarEventKind::Note;
    extra.entryId = QUuid(QStringLiteral("{7d444840-9dc0-11d1-b245-5ffdce74fad2}"));
    extra.summary = QStringLiteral("Station open day");
    events.append(extra);
    result = publishNow(calendar, published(events, FirstStamp.addDays(2)), ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.requests, 1 + 3 + 2 + 1);
    QCOMPARE(result.counts.added, 1);
    QCOMPARE(result.counts.updated, 3);
    QCOMPARE(result.counts.removed, 2);
    QCOMPARE(result.counts.unchanged, count - 2 - 3);
    QCOMPARE(result.counts.replaced, 0);
    QMap<QString, QString> expected = summaries(events);
    expected.insert(QStringLiteral("foreign-1"), QStringLiteral("Dentist"));
    QCOMPARE(onServer(calendar), expected);
    QCOMPARE(etagOnServer(foreign), foreignEtag);

    // Publishing nothing removes all of ours and still leaves the other program's event.
    result = publishNow(calendar, {}, ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.counts.removed, static_cast<int>(events.size()));
    QCOMPARE(onServer(calendar),
             (QMap<QString, QString>{{QStringLiteral("foreign-1"), QStringLiteral("Dentist")}}));
}

void PublisherTest::stoppedServerHalfWay() {
    const QUrl calendar = makeCalendar(QStringLiteral("stopped"));
    const QList<CalendarEvent> events = twoYears();
    MemoryPublishLedger ledger;
    PublishResult result = publishNow(calendar, published(events), ledger, [&](Publisher& p) {
        QObject::connect(&p, &Publisher::progress, &p, [&](int sent, int) {
            if (sent == 150)
                m_radicale.kill();
        });
    });
    QVERIFY(!result.ok());
    QVERIFY2(result.failure == DavFailure::Unreachable ||
                 result.failure == DavFailure::ConnectionLost,
             qPrintable(result.error));
    QVERIFY(result.summary().contains(QStringLiteral("127.0.0.1")));
    const QList<PublishedRecord> remembered = *ledger.load(CalendarKey(calendar), nullptr);
    QVERIFY(remembered.size() >= 150 && remembered.size() < events.size());

    QVERIFY2(m_radicale.restart(), qPrintable(m_radicale.log()));
    // What is remembered is true: each event is on the server with the ETag remembered.
    for (const PublishedRecord& record : remembered)
        QCOMPARE(etagOnServer(QUrl(record.href)), record.etag.toUtf8());

    result = publishNow(calendar, published(events), ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.counts.added, events.size() - remembered.size());
    QCOMPARE(result.counts.unchanged, remembered.size());
    QCOMPARE(onServer(calendar), summaries(events));
    QCOMPARE(publishNow(calendar, published(events), ledger).requests, 1);
}

void PublisherTest::ledgerFailingHalfWay() {
    const QUrl calendar = makeCalendar(QStringLiteral("ledger"));
    const QList<CalendarEvent> events = twoYears();
    MemoryPublishLedger remembered;
    FailingLedger failing(remembered, 50);
    PublishResult result = publishNow(calendar, published(events), failing);
    QCOMPARE(result.failure, DavFailure::Ledger);
    QVERIFY(result.error.contains(QStringLiteral("The disk is full.")));
    QCOMPARE(remembered.load(CalendarKey(calendar), nullptr)->size(), 50);

    // The events sent but not remembered are on the server: found in the listing, replaced in
    // place, never doubled.
    result = publishNow(calendar, published(events), remembered);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.counts.added, events.size() - 50);
    QCOMPARE(result.counts.unchanged, 50);
    QCOMPARE(onServer(calendar), summaries(events));
}

void PublisherTest::conflictsAreReplaced_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("updated");
    QTest::addColumn<int>("replaced");
    // Another program changes one of ours after the listing: the If-Match PUT meets a 412.
    QTest::newRow("changed on the server while publishing") << "changed-during" << 0 << 1 << 1;
    // A resource for a new event appears after the listing: If-None-Match: * meets a 412.
    QTest::newRow("made on the server while publishing") << "made-during" << 1 << 0 << 1;
    // Changed or deleted on the server between two publishes, the same in Tourwise.
    QTest::newRow("changed on the server before") << "changed-before" << 0 << 1 << 1;
    QTest::newRow("deleted on the server before") << "deleted-before" << 1 << 0 << 0;
}

void PublisherTest::conflictsAreReplaced() {
    QFETCH(QString, what);
    QFETCH(int, added);
    QFETCH(int, updated);
    QFETCH(int, replaced);
    const QUrl calendar = makeCalendar(what);
    QList<CalendarEvent> events = twoYears().mid(0, 12);
    MemoryPublishLedger ledger;
    const QList<CalendarEvent> first = events.mid(0, 10);
    QVERIFY(publishNow(calendar, published(first), ledger).ok());

    const QUrl target = calendar.resolved(
        QUrl(CalendarEventUid(events.at(what == "made-during" ? 10 : 3)) + QStringLiteral(".ics")));
    const auto otherProgramWrites = [&] {
        CalDavClient client(account());
        const DavResponse response = sendAndWait(
            client, {"PUT",
                     target,
                     foreignEvent(QUrl(target).fileName().chopped(4), "Changed elsewhere"),
                     "text/calendar",
                     {}});
        QVERIFY(response.status == 201 || response.status == 204);
    };
    QList<CalendarEvent> wanted = first;
    if (what == QLatin1String("changed-during")) {
        wanted[3].summary += QStringLiteral(" (edited)");
    } else if (what == QLatin1String("made-during")) {
        wanted.append(events.at(10));
    } else if (what == QLatin1String("changed-before")) {
        otherProgramWrites();
    } else {
        CalDavClient client(account());
        const int status = sendAndWait(client, {"DELETE", target, {}, {}, {}}).status;
        QVERIFY(status >= 200 && status < 300);
    }
    const bool during = what.endsWith(QLatin1String("during"));
    const PublishResult result =
        publishNow(calendar, published(wanted), ledger, [&](Publisher& publisher) {
            if (during)
                QObject::connect(&publisher, &Publisher::listed, &publisher,
                                 [&](int, int) { otherProgramWrites(); });
        });
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.counts.added, added);
    QCOMPARE(result.counts.updated, updated);
    QCOMPARE(result.counts.replaced, replaced);
    QCOMPARE(onServer(calendar), summaries(wanted));
    QCOMPARE(publishNow(calendar, published(wanted), ledger).requests, 1);
}

void PublisherTest::rememberedInTheDaysFile() {
    const QUrl calendar = makeCalendar(QStringLiteral("daysfile"));
    const QList<CalendarEvent> events = twoYears().mid(0, 20);
    const QString path = daysFilePath(m_dir->filePath(QStringLiteral("data")));
    {
        EntryStore store(path);
        DaysFilePublishLedger ledger(store);
        const PublishResult result = PublishAndWait(calendar, account(), published(events), ledger);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.counts.added, 20);
    }
    EntryStore store(path);
    DaysFilePublishLedger ledger(store);
    // The same calendar written another way shares what was published there.
    QUrl spelledOtherwise = calendar;
    spelledOtherwise.setPath(calendar.path().chopped(1));
    const PublishResult result =
        PublishAndWait(spelledOtherwise, account(), published(events.mid(1)), ledger);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.requests, 2);
    QCOMPARE(result.counts.removed, 1);
    QCOMPARE(result.counts.unchanged, 19);
}

void PublisherTest::failuresChangeNothingRemembered_data() {
    QTest::addColumn<QUrl>("calendar");
    QTest::addColumn<bool>("twoWithOneUid");
    QTest::addColumn<DavFailure>("failure");
    QTest::addColumn<int>("requests");
    QTest::newRow("wrong password")
        << m_hostile.url(QStringLiteral("/status/401/")) << false << DavFailure::WrongPassword << 1;
    QTest::newRow("server error") << m_hostile.url(QStringLiteral("/status/502/")) << false
                                  << DavFailure::ServerError << 1;
    QTest::newRow("missing calendar") << m_radicale.url(QStringLiteral("/tester/nothing-here/"))
                                      << false << DavFailure::NotFound << 1;
    // The listing, and the PUTs already on their way when the first 403 comes back.
    QTest::newRow("no permission to write")
        << m_hostile.url(QStringLiteral("/readonly/")) << false << DavFailure::NoPermission
        << 1 + Publisher::MaxRequestsInFlight;
    QTest::newRow("plain http off this machine") << QUrl(QStringLiteral("http://cal.invalid/dav/"))
                                                 << false << DavFailure::InsecureAddress << 0;
    QTest::newRow("two events, one UID")
        << m_radicale.url(QStringLiteral("/tester/first/")) << true << DavFailure::Invalid << 0;
}

void PublisherTest::failuresChangeNothingRemembered() {
    QFETCH(QUrl, calendar);
    QFETCH(bool, twoWithOneUid);
    QFETCH(DavFailure, failure);
    QFETCH(int, requests);
    QList<PublishedEvent> events = published(twoYears().mid(0, 3));
    if (twoWithOneUid)
        events.append(events.first());
    MemoryPublishLedger ledger;
    const PublishResult result = publishNow(calendar, events, ledger);
    QCOMPARE(result.failure, failure);
    QVERIFY2(result.requests <= requests, qPrintable(QString::number(result.requests)));
    QCOMPARE(result.summary(), result.error);
    QVERIFY(!result.error.contains(u'\n'));
    QVERIFY(!result.error.contains(TestPassword));
    QVERIFY(ledger.load(CalendarKey(calendar), nullptr)->isEmpty());
}

QTEST_GUILESS_MAIN(PublisherTest)
#include "tst_publisher.moc"
