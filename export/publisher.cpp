#include "export/publisher.h"

#include "export/calendarfile.h"
#include "export/davaddress.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QTimer>

QList<PublishedEvent> PublishedEventsOf(const CalendarFileHeader& header,
                                        const QList<CalendarEvent>& events) {
    QList<PublishedEvent> published;
    published.reserve(events.size());
    for (const CalendarEvent& event : events)
        published.append({CalendarEventUid(event), WriteICalendarEvent(header, event)});
    return published;
}

QString PublishedContentHash(const QByteArray& icalendar) {
    return QString::fromLatin1(
        QCryptographicHash::hash(CalendarBytesWithoutStamps(icalendar), QCryptographicHash::Sha256)
            .toHex());
}

QString PublishResult::summary() const {
    if (!ok())
        return error;
    return QStringLiteral("Published %1 events to %2 (%3 added, %4 updated, %5 removed, %6 "
                          "unchanged)")
        .arg(events)
        .arg(ShownAddress(calendar))
        .arg(counts.added)
        .arg(counts.updated)
        .arg(counts.removed)
        .arg(counts.unchanged);
}

namespace {

enum class Tally { Added, Updated, Removed };

struct Change {
    bool remove = false;
    QString uid;
    QUrl href;
    QByteArray icalendar;
    QString hash;
    QByteArray etag; // the condition: If-Match this, or If-None-Match: * when empty
    Tally tally = Tally::Added;
    bool replaced = false;
    int conflicts = 0; // 412s met so far
};

// A 412 twice for one event: another program keeps changing it while Tourwise replaces it.
constexpr int MaxConflicts = 2;

QString pathKey(const QUrl& url) {
    QString path = url.path(QUrl::FullyDecoded);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QUrl resourceUrl(const QUrl& calendar, const QString& uid) {
    return calendar.resolved(
        QUrl(QString::fromLatin1(QUrl::toPercentEncoding(uid) + ".ics"), QUrl::StrictMode));
}

} // namespace

struct Publisher::Run {
    Publisher* owner = nullptr;
    CalDavClient* client = nullptr;
    PublishLedger* ledger = nullptr;
    QString key;
    QList<PublishedEvent> events;
    QList<Change> changes;
    qsizetype next = 0;
    int inFlight = 0;
    int sent = 0;
    PublishResult result;
    bool stopping = false;

    void fail(DavFailure failure, const QString& error) {
        if (result.failure != DavFailure::None)
            return;
        result.failure = failure;
        result.error = error;
        stopping = true;
    }

    void failOnLedger(const QString& error) {
        fail(DavFailure::Ledger,
             QStringLiteral("What Tourwise remembers of %1 could not be updated: %2")
                 .arg(ShownAddress(result.calendar), error));
    }

    void start(const QUrl& calendar) {
        client->list(calendar, [this](const CalDavListing& listing) { plan(listing); });
    }

    void plan(const CalDavListing& listing) {
        if (!listing.ok()) {
            fail(listing.failure, listing.error);
            finishIfIdle();
            return;
        }
        QString error;
        const std::optional<QList<PublishedRecord>> remembered = ledger->load(key, &error);
        if (!remembered) {
            fail(DavFailure::Ledger,
                 QStringLiteral("What Tourwise remembers of %1 cannot be read: %2")
                     .arg(ShownAddress(result.calendar), error));
            finishIfIdle();
            return;
        }
        QHash<QString, QByteArray> onServer; // path -> ETag
        for (const DavResource& resource : listing.resources)
            if (SameOrigin(resource.url, result.calendar))
                onServer.insert(pathKey(resource.url), resource.etag);
        QHash<QString, PublishedRecord> byUid;
        for (const PublishedRecord& record : *remembered)
            byUid.insert(record.uid, record);

        QSet<QString> wanted;
        for (const PublishedEvent& event : events) {
            wanted.insert(event.uid);
            const auto record = byUid.constFind(event.uid);
            const bool known = record != byUid.constEnd();
            Change change;
            change.uid = event.uid;
            change.href = known ? QUrl(record->href) : resourceUrl(result.calendar, event.uid);
            change.icalendar = event.icalendar;
            change.hash = PublishedContentHash(event.icalendar);
            const auto there = onServer.constFind(pathKey(change.href));
            const bool present = there != onServer.constEnd();
            if (known && present && record->contentHash == change.hash &&
                (record->etag.toUtf8() == *there || record->etag.isEmpty())) {
                ++result.counts.unchanged;
                // The server sent no ETag with the PUT; its listing is taken as ours.
                if (record->etag.isEmpty() && !there->isEmpty() &&
                    !ledger->record(
                        key, {event.uid, record->href, QString::fromUtf8(*there), change.hash},
                        &error)) {
                    failOnLedger(error);
                    finishIfIdle();
                    return;
                }
                continue;
            }
            // Not there: If-None-Match. There: If-Match its ETag as listed, whoever put it
            // there: a UID is one event, and this event is Tourwise's.
            change.etag = present ? *there : QByteArray();
            change.tally = known && present ? Tally::Updated : Tally::Added;
            change.replaced =
                known && present && record->etag.toUtf8() != *there && !record->etag.isEmpty();
            changes.append(change);
        }
        for (const PublishedRecord& record : *remembered) {
            if (wanted.contains(record.uid))
                continue;
            const auto there = onServer.constFind(pathKey(QUrl(record.href)));
            if (there == onServer.constEnd()) {
                // Gone already (deleted elsewhere, or by a publish that stopped before it could
                // remember): only forgetting is left.
                if (!ledger->forget(key, record.uid, &error)) {
                    failOnLedger(error);
                    finishIfIdle();
                    return;
                }
                ++result.counts.removed;
                continue;
            }
            Change change;
            change.remove = true;
            change.uid = record.uid;
            change.href = QUrl(record.href);
            change.etag = *there;
            change.tally = Tally::Removed;
            changes.append(change);
        }
        emit owner->listed(static_cast<int>(listing.resources.size()),
                           static_cast<int>(changes.size()));
        startMore();
        finishIfIdle();
    }

    void startMore() {
        while (!stopping && inFlight < MaxRequestsInFlight && next < changes.size()) {
            ++inFlight;
            send(next++);
        }
    }

    void send(qsizetype index) {
        const Change& change = changes.at(index);
        const auto written = [this, index](const CalDavWrite& write) { onWritten(index, write); };
        if (change.remove)
            client->remove(change.href, change.etag, written);
        else
            client->put(change.href, change.icalendar, change.etag, written);
    }

    void onWritten(qsizetype index, const CalDavWrite& write) {
        Change& change = changes[index];
        if (!write.ok()) {
            fail(write.failure, write.error);
            done();
            return;
        }
        if (write.status == 412) {
            // Changed on the server since it was listed, or made there by a publish that stopped
            // before it could remember: take its ETag now and send again.
            if (++change.conflicts >= MaxConflicts) {
                fail(DavFailure::Refused,
                     QStringLiteral("The event %1 in %2 keeps changing on the server while "
                                    "Tourwise replaces it; try again later.")
                         .arg(change.uid, ShownAddress(result.calendar)));
                done();
                return;
            }
            change.replaced = true;
            client->fetchEtag(change.href, [this, index](const CalDavWrite& found) {
                Change& retried = changes[index];
                if (!found.ok()) {
                    fail(found.failure, found.error);
                    done();
                    return;
                }
                if (found.status == 404 && retried.remove) {
                    forgotten(retried);
                    return;
                }
                retried.etag = found.status == 404 ? QByteArray() : found.etag;
                send(index);
            });
            return;
        }
        if (change.remove)
            forgotten(change);
        else
            recorded(change, write.etag);
    }

    void recorded(const Change& change, const QByteArray& etag) {
        QString error;
        if (!ledger->record(key,
                            {change.uid, change.href.toString(QUrl::FullyEncoded),
                             QString::fromUtf8(etag), change.hash},
                            &error))
            failOnLedger(error);
        else
            count(change);
        done();
    }

    void forgotten(const Change& change) {
        QString error;
        if (!ledger->forget(key, change.uid, &error))
            failOnLedger(error);
        else
            count(change);
        done();
    }

    void count(const Change& change) {
        switch (change.tally) {
        case Tally::Added:
            ++result.counts.added;
            break;
        case Tally::Updated:
            ++result.counts.updated;
            break;
        case Tally::Removed:
            ++result.counts.removed;
            break;
        }
        if (change.replaced && !change.remove)
            ++result.counts.replaced;
    }

    void done() {
        --inFlight;
        ++sent;
        emit owner->progress(sent, static_cast<int>(changes.size()));
        startMore();
        finishIfIdle();
    }

    void finishIfIdle() {
        if (inFlight > 0 || (!stopping && next < changes.size()))
            return;
        result.requests = client->requestsSent();
        const PublishResult finished = result;
        // The run goes before the signal, so a slot may start the next publish at once.
        Publisher* publisher = owner;
        publisher->m_run = nullptr;
        client->deleteLater();
        delete this;
        emit publisher->finished(finished);
    }
};

Publisher::Publisher(QObject* parent) : QObject(parent) {}

Publisher::~Publisher() {
    if (m_run) {
        delete m_run->client; // its callbacks never run after this
        delete m_run;
    }
}

bool Publisher::isRunning() const {
    return m_run != nullptr;
}

bool Publisher::publish(const QUrl& calendar, const CalDavAccount& account,
                        QList<PublishedEvent> events, PublishLedger& ledger) {
    if (m_run)
        return false;
    m_run = new Run;
    m_run->owner = this;
    m_run->client = new CalDavClient(account, this);
    m_run->ledger = &ledger;
    m_run->result.calendar = CollectionUrl(calendar);
    m_run->result.events = static_cast<int>(events.size());
    m_run->key = CalendarKey(calendar);
    QSet<QString> uids;
    QString invalid;
    for (const PublishedEvent& event : events) {
        if (event.uid.isEmpty() || event.icalendar.isEmpty())
            invalid = QStringLiteral("An event without a UID or without text cannot be "
                                     "published.");
        else if (uids.contains(event.uid))
            invalid = QStringLiteral("Two events share the UID %1, and a calendar server keeps "
                                     "one event per UID.")
                          .arg(event.uid);
        uids.insert(event.uid);
    }
    m_run->events = std::move(events);
    if (const QString refused = RefusedAddress(calendar); !refused.isEmpty())
        m_run->fail(DavFailure::InsecureAddress, refused);
    else if (!invalid.isEmpty())
        m_run->fail(DavFailure::Invalid, invalid);
    Run* run = m_run;
    // Later, as every result: a caller connects to finished() after this call returns.
    QTimer::singleShot(0, m_run->client, [run, calendar] {
        if (run->stopping)
            run->finishIfIdle();
        else
            run->start(run->result.calendar);
    });
    return true;
}
