// Publishing the events of the calendar file to a calendar on a server: each event its own
// resource "<UID>.ics", sending only what changed since the last publish there, removing only
// what Tourwise put there itself. What was published is remembered (PublishLedger) after each
// request that succeeded, so a publish that stops half way (a killed program, a stopped server)
// is finished by the next one with nothing doubled or lost. Never blocks: the result comes by
// finished(); the command line waits for it with PublishAndWait() (caldavwait.h).
#pragma once

#include "days/publishledger.h"
#include "export/caldavaccount.h"
#include "export/caldavclient.h"
#include "export/calendarevents.h"
#include "export/icalendarwriter.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

struct PublishedEvent {
    QString uid;
    QByteArray icalendar; // one VCALENDAR holding this one VEVENT (WriteICalendarEvent)
};

// The events of the calendar file as the publisher takes them, stamped with header.stamp.
QList<PublishedEvent> PublishedEventsOf(const CalendarFileHeader& header,
                                        const QList<CalendarEvent>& events);

// What decides whether an event changed: its text without the DTSTAMP line, which every
// export writes anew.
QString PublishedContentHash(const QByteArray& icalendar);

struct PublishCounts {
    int added = 0;
    int updated = 0;
    int removed = 0;
    int unchanged = 0;
    // Of the added and updated: events found changed on the server (by another program, or by
    // an earlier publish that stopped before it could remember) and put back as Tourwise has them.
    int replaced = 0;
};

struct PublishResult : CalDavOutcome {
    QUrl calendar;
    int events = 0; // in the set published
    PublishCounts counts;
    int requests = 0; // HTTP requests sent, the listing included

    // "Published N events to URL (A added, U updated, D removed, K unchanged)", or the failure.
    QString summary() const;
};

class Publisher : public QObject {
    Q_OBJECT

public:
    explicit Publisher(QObject* parent = nullptr);
    ~Publisher() override;

    // Starts publishing `events` to the calendar (its own URL). False, and nothing started, while
    // a publish runs. The ledger must outlive the publish. Two events with one UID are refused.
    bool publish(const QUrl& calendar, const CalDavAccount& account, QList<PublishedEvent> events,
                 PublishLedger& ledger);
    bool isRunning() const;

    // At most this many requests at once.
    static constexpr int MaxRequestsInFlight = 4;

signals:
    // The calendar was listed and the changes are about to be sent.
    void listed(int resourcesOnServer, int changesToSend);
    void progress(int changesSent, int changesToSend);
    void finished(const PublishResult& result);

private:
    struct Run;
    Run* m_run = nullptr;
};
