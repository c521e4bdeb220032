// A client of one calendar server account (CalDAV, RFC 4791; discovery as RFC 6764 has it):
// finding the calendars, making one, listing a calendar's events with their ETags, and putting
// and deleting one event. Every call returns at once; its result comes later to the given
// function, from the event loop, and never once the client is gone. The rules of each request
// (where the password goes, certificates, time limit, size cap) are DavExchange's.
#pragma once

#include "export/caldavaccount.h"
#include "export/davexchange.h"
#include "export/davxml.h"

#include <QObject>

#include <functional>

class QNetworkAccessManager;

struct CalDavCalendar {
    QUrl url;
    QString displayName; // the server's name of it; may be empty
};

struct CalDavOutcome {
    DavFailure failure = DavFailure::None;
    QString error; // one sentence when failure is set

    bool ok() const { return failure == DavFailure::None; }
};

struct CalDavDiscovery : CalDavOutcome {
    QList<CalDavCalendar> calendars; // those that hold events
    QUrl calendarHome;               // where a new calendar goes; empty for a calendar's own URL
};

struct CalDavListing : CalDavOutcome {
    QList<DavResource> resources; // the calendar's members, not the calendar itself
};

struct CalDavWrite : CalDavOutcome {
    int status = 0;  // 412 is not a failure here: the caller decides what follows
    QByteArray etag; // the new ETag when the server sent one
};

inline constexpr auto TourwiseCalendarName = "Tourwise duty";

class CalDavClient : public QObject {
    Q_OBJECT

public:
    explicit CalDavClient(CalDavAccount account, QObject* parent = nullptr);
    ~CalDavClient() override;

    const CalDavAccount& account() const { return m_account; }
    // Every HTTP request sent so far, redirects included.
    int requestsSent() const { return m_requestsSent; }

    // From a server's address (its well-known address is tried first when the path is empty),
    // a principal's, a calendar home's or a calendar's own.
    void discover(const QUrl& server, std::function<void(const CalDavDiscovery&)> done);
    // MKCALENDAR in the home, at "tourwise-duty/" or the first of "tourwise-duty-2/" ... that is
    // free; the result holds the new calendar.
    void createCalendar(const QUrl& calendarHome, const QString& displayName,
                        std::function<void(const CalDavDiscovery&)> done);
    // The members of a calendar with their ETags; a URL that is not a calendar fails.
    void list(const QUrl& calendar, std::function<void(const CalDavListing&)> done);
    // PUT with If-None-Match: * when `etag` is empty, else If-Match: etag.
    void put(const QUrl& resource, const QByteArray& icalendar, const QByteArray& etag,
             std::function<void(const CalDavWrite&)> done);
    // DELETE with If-Match: etag (without a condition when empty); 404 counts as done.
    void remove(const QUrl& resource, const QByteArray& etag,
                std::function<void(const CalDavWrite&)> done);
    // The resource's current ETag (PROPFIND Depth 0); status 404 when it is not there.
    void fetchEtag(const QUrl& resource, std::function<void(const CalDavWrite&)> done);

    // Sends one request under the account's rules, within `timeoutMs` when that is shorter.
    void send(DavRequest request, std::function<void(const DavResponse&)> done, int timeoutMs = 0);

private:
    struct Discovery;
    void propfind(const QUrl& url, int depth, const QByteArray& body,
                  std::function<void(const DavResponse&, const QList<DavResource>&)> done,
                  std::function<void(const CalDavOutcome&)> failed, int timeoutMs = 0);
    void tryCreate(const QUrl& home, const QString& displayName, int attempt,
                   std::function<void(const CalDavDiscovery&)> done);

    CalDavAccount m_account;
    QNetworkAccessManager* m_network;
    int m_requestsSent = 0;
};

// The outcome of a reply that is not the one wanted: its exchange failure or its status.
CalDavOutcome OutcomeOf(const DavResponse& response, const QString& user);
