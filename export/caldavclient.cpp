#include "export/caldavclient.h"

#include "export/davaddress.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>

#include <algorithm>

namespace {

constexpr int MaxCalendarSlugs = 9;
const QByteArray XmlType = "application/xml; charset=utf-8";

bool isWellKnown(const QUrl& url) {
    return url.path() == QLatin1StringView("/.well-known/caldav");
}

const DavResource* resourceAt(const QList<DavResource>& resources, const QUrl& url) {
    for (const DavResource& resource : resources)
        if (SameResource(resource.url, url))
            return &resource;
    return nullptr;
}

} // namespace

CalDavOutcome OutcomeOf(const DavResponse& response, const QString& user) {
    if (response.failure != DavFailure::None)
        return {response.failure, response.error};
    return {FailureOfStatus(response.status), StatusSentence(response.status, response.url, user)};
}

CalDavClient::CalDavClient(CalDavAccount account, QObject* parent)
    : QObject(parent), m_account(std::move(account)), m_network(new QNetworkAccessManager(this)) {
    // Nothing of a calendar server's replies is kept on disk.
    m_network->setCache(nullptr);
}

CalDavClient::~CalDavClient() {
    // Before the network manager: an aborted reply reports to its exchange, and no exchange
    // may call back into a client that is going away.
    qDeleteAll(findChildren<DavExchange*>(Qt::FindDirectChildrenOnly));
}

void CalDavClient::send(DavRequest request, std::function<void(const DavResponse&)> done,
                        int timeoutMs) {
    CalDavAccount account = m_account;
    if (timeoutMs > 0)
        account.timeoutMs = std::min(timeoutMs, account.timeoutMs);
    auto* exchange = new DavExchange(m_network, account, std::move(request), std::move(done), this);
    connect(exchange, &DavExchange::requestSent, this, [this] { ++m_requestsSent; });
    exchange->start();
}

void CalDavClient::propfind(const QUrl& url, int depth, const QByteArray& body,
                            std::function<void(const DavResponse&, const QList<DavResource>&)> done,
                            std::function<void(const CalDavOutcome&)> failed, int timeoutMs) {
    DavRequest request{"PROPFIND", url, body, XmlType, {{"Depth", QByteArray::number(depth)}}};
    send(
        std::move(request),
        [this, done = std::move(done), failed = std::move(failed)](const DavResponse& response) {
            if (response.failure != DavFailure::None || response.status != 207) {
                CalDavOutcome outcome = OutcomeOf(response, m_account.user);
                if (outcome.ok()) // 200 and the like: not what WebDAV answers
                    outcome = {
                        DavFailure::NotXml,
                        QStringLiteral("The server at %1 did not answer as a calendar server "
                                       "does (status %2 to PROPFIND of %3); check the address.")
                            .arg(ShownHost(response.url))
                            .arg(response.status)
                            .arg(ShownAddress(response.url))};
                failed(outcome);
                return;
            }
            QString problem;
            const std::optional<QList<DavResource>> resources =
                ParseMultistatus(response.body, response.url, &problem);
            if (!resources) {
                failed({DavFailure::NotXml,
                        QStringLiteral("The server at %1 did not answer as a calendar server does "
                                       "(its reply for %2: %3); check the address.")
                            .arg(ShownHost(response.url), ShownAddress(response.url), problem)});
                return;
            }
            done(response, *resources);
        },
        timeoutMs);
}

struct CalDavClient::Discovery {
    CalDavClient* client;
    QList<QUrl> candidates;
    std::function<void(const CalDavDiscovery&)> done;
    // One time limit over all the steps, as over one request.
    QDeadlineTimer deadline;

    // The next step's request, within what is left of the time limit; false when none is left
    // or `url` is on another server than `from`, which would get the password (both failed).
    bool mayAsk(const QUrl& url, const QUrl& from) const {
        if (!SameOrigin(url, from)) {
            fail({DavFailure::Redirect,
                  QStringLiteral("The server at %1 keeps the calendars at %2, another server, "
                                 "which does not get your password; if you trust it, use the "
                                 "address %3.")
                      .arg(ShownHost(from), ShownHost(url), ShownAddress(url))});
            return false;
        }
        if (deadline.hasExpired()) {
            fail({DavFailure::Timeout,
                  QStringLiteral("The server at %1 did not show its calendars within %2 "
                                 "seconds; try again later.")
                      .arg(ShownHost(from))
                      .arg((client->m_account.timeoutMs + 999) / 1000)});
            return false;
        }
        return true;
    }
    int timeLeft() const { return static_cast<int>(std::max<qint64>(1, deadline.remainingTime())); }

    void fail(const CalDavOutcome& outcome) const {
        CalDavDiscovery result;
        result.failure = outcome.failure;
        result.error = outcome.error;
        done(result);
    }

    void tryCandidate(int index) const {
        const QUrl url = candidates.at(index);
        const Discovery self = *this;
        client->propfind(
            url, 0, DiscoveryPropfindBody(),
            [self](const DavResponse& response, const QList<DavResource>& resources) {
                self.found(response.url, resources);
            },
            [self, index, url](const CalDavOutcome& outcome) {
                if (self.deadline.hasExpired()) {
                    self.fail(outcome);
                    return;
                }
                // A server without the well-known address is asked at the address given.
                const bool tryNext = isWellKnown(url) && index + 1 < self.candidates.size() &&
                                     (outcome.failure == DavFailure::NotFound ||
                                      outcome.failure == DavFailure::Refused ||
                                      outcome.failure == DavFailure::NotXml);
                if (tryNext)
                    self.tryCandidate(index + 1);
                else
                    self.fail(outcome);
            },
            timeLeft());
    }

    void found(const QUrl& url, const QList<DavResource>& resources) const {
        const DavResource* here = resourceAt(resources, url);
        if (!here && !resources.isEmpty())
            here = &resources.first();
        if (!here) {
            fail(noCalendars(url));
            return;
        }
        if (here->calendar) {
            if (here->holdsEvents == false) {
                fail({DavFailure::Refused,
                      QStringLiteral("%1 is a calendar that holds no events (only tasks or "
                                     "notes); choose another one.")
                          .arg(ShownAddress(url))});
                return;
            }
            CalDavDiscovery result;
            result.calendars.append({CollectionUrl(url), here->displayName});
            done(result);
            return;
        }
        if (!here->calendarHome.isEmpty()) {
            if (mayAsk(here->calendarHome, url))
                listHome(here->calendarHome);
            return;
        }
        if (!here->principal.isEmpty() && !SameResource(here->principal, url)) {
            if (!mayAsk(here->principal, url))
                return;
            const Discovery self = *this;
            client->propfind(
                here->principal, 0, DiscoveryPropfindBody(),
                [self](const DavResponse& response, const QList<DavResource>& found) {
                    const DavResource* principal = resourceAt(found, response.url);
                    if (principal && !principal->calendarHome.isEmpty()) {
                        if (self.mayAsk(principal->calendarHome, response.url))
                            self.listHome(principal->calendarHome);
                    } else
                        self.fail(self.noCalendars(response.url));
                },
                [self](const CalDavOutcome& outcome) { self.fail(outcome); }, timeLeft());
            return;
        }
        fail(noCalendars(url));
    }

    CalDavOutcome noCalendars(const QUrl& url) const {
        return {DavFailure::NotFound,
                QStringLiteral("The server at %1 shows no calendars for %2 at %3; give the "
                               "address of the calendar itself.")
                    .arg(ShownHost(url), client->m_account.user, ShownAddress(url))};
    }

    void listHome(const QUrl& home) const {
        const Discovery self = *this;
        client->propfind(
            home, 1, DiscoveryPropfindBody(),
            [self, home](const DavResponse&, const QList<DavResource>& resources) {
                CalDavDiscovery result;
                result.calendarHome = CollectionUrl(home);
                for (const DavResource& resource : resources)
                    if (resource.calendar && resource.holdsEvents != false &&
                        !SameResource(resource.url, home))
                        result.calendars.append(
                            {CollectionUrl(resource.url), resource.displayName});
                self.done(result);
            },
            [self](const CalDavOutcome& outcome) { self.fail(outcome); }, timeLeft());
    }
};

void CalDavClient::discover(const QUrl& server, std::function<void(const CalDavDiscovery&)> done) {
    Discovery discovery{this, {}, std::move(done), QDeadlineTimer(m_account.timeoutMs)};
    if (server.path().isEmpty() || server.path() == QLatin1StringView("/")) {
        QUrl root = server;
        root.setPath(QStringLiteral("/"));
        discovery.candidates = {root.resolved(QUrl(QStringLiteral("/.well-known/caldav"))), root};
    } else {
        discovery.candidates = {server};
    }
    discovery.tryCandidate(0);
}

void CalDavClient::createCalendar(const QUrl& calendarHome, const QString& displayName,
                                  std::function<void(const CalDavDiscovery&)> done) {
    tryCreate(CollectionUrl(calendarHome), displayName, 1, std::move(done));
}

void CalDavClient::tryCreate(const QUrl& home, const QString& displayName, int attempt,
                             std::function<void(const CalDavDiscovery&)> done) {
    const QString slug = attempt == 1 ? QStringLiteral("tourwise-duty/")
                                      : QStringLiteral("tourwise-duty-%1/").arg(attempt);
    const QUrl url = home.resolved(QUrl(slug));
    send({"MKCALENDAR", url, MkcalendarBody(displayName), XmlType, {}},
         [this, home, displayName, attempt, url, done](const DavResponse& response) {
             // 405 (RFC 4791) or 409 (what some servers say): something is there already.
             const bool taken = response.failure == DavFailure::None &&
                                (response.status == 405 || response.status == 409);
             if (taken && attempt < MaxCalendarSlugs) {
                 tryCreate(home, displayName, attempt + 1, done);
                 return;
             }
             CalDavDiscovery result;
             if (response.failure == DavFailure::None && response.status >= 200 &&
                 response.status < 300) {
                 result.calendarHome = home;
                 result.calendars.append({url, displayName});
             } else {
                 const CalDavOutcome outcome = OutcomeOf(response, m_account.user);
                 result.failure = outcome.ok() ? DavFailure::Refused : outcome.failure;
                 result.error = outcome.ok() ? QStringLiteral("The server at %1 did not make "
                                                              "the calendar %2.")
                                                   .arg(ShownHost(url), ShownAddress(url))
                                             : outcome.error;
             }
             done(result);
         });
}

void CalDavClient::list(const QUrl& calendar, std::function<void(const CalDavListing&)> done) {
    const QUrl collection = CollectionUrl(calendar);
    propfind(
        collection, 1, ListingPropfindBody(),
        [done, collection](const DavResponse& response, const QList<DavResource>& resources) {
            CalDavListing listing;
            const DavResource* self = resourceAt(resources, response.url);
            if (self && !self->calendar) {
                listing.failure = DavFailure::NotFound;
                listing.error = QStringLiteral("%1 is not a calendar; choose one of the "
                                               "calendars found on the server.")
                                    .arg(ShownAddress(collection));
                done(listing);
                return;
            }
            for (const DavResource& resource : resources)
                if (&resource != self && !resource.collection &&
                    !SameResource(resource.url, response.url) && resource.status >= 200 &&
                    resource.status < 300)
                    listing.resources.append(resource);
            done(listing);
        },
        [done](const CalDavOutcome& outcome) {
            CalDavListing listing;
            listing.failure = outcome.failure;
            listing.error = outcome.error;
            done(listing);
        });
}

namespace {

CalDavWrite writeOf(const DavResponse& response, const QString& user, bool goneIsDone) {
    CalDavWrite write;
    write.status = response.status;
    write.etag = response.etag;
    const bool fine =
        response.failure == DavFailure::None &&
        ((response.status >= 200 && response.status < 300) || response.status == 412 ||
         (goneIsDone && (response.status == 404 || response.status == 410)));
    if (!fine) {
        const CalDavOutcome outcome = OutcomeOf(response, user);
        write.failure = outcome.failure;
        write.error = outcome.error;
    }
    return write;
}

} // namespace

void CalDavClient::put(const QUrl& resource, const QByteArray& icalendar, const QByteArray& etag,
                       std::function<void(const CalDavWrite&)> done) {
    DavRequest request{"PUT", resource, icalendar, "text/calendar; charset=utf-8", {}};
    request.headers.append(etag.isEmpty() ? QPair<QByteArray, QByteArray>("If-None-Match", "*")
                                          : QPair<QByteArray, QByteArray>("If-Match", etag));
    send(std::move(request), [this, done](const DavResponse& response) {
        done(writeOf(response, m_account.user, false));
    });
}

void CalDavClient::remove(const QUrl& resource, const QByteArray& etag,
                          std::function<void(const CalDavWrite&)> done) {
    DavRequest request{"DELETE", resource, {}, {}, {}};
    if (!etag.isEmpty())
        request.headers.append({"If-Match", etag});
    send(std::move(request), [this, done](const DavResponse& response) {
        done(writeOf(response, m_account.user, true));
    });
}

void CalDavClient::fetchEtag(const QUrl& resource, std::function<void(const CalDavWrite&)> done) {
    send({"PROPFIND", resource, ListingPropfindBody(), XmlType, {{"Depth", "0"}}},
         [this, done, resource](const DavResponse& response) {
             CalDavWrite write = writeOf(response, m_account.user, true);
             if (!write.ok() || response.status != 207) {
                 if (write.ok() && response.status != 404 && response.status != 410) {
                     write.failure = DavFailure::NotXml;
                     write.error = QStringLiteral("The server at %1 did not answer as a calendar "
                                                  "server does (status %2 to PROPFIND of %3).")
                                       .arg(ShownHost(resource))
                                       .arg(response.status)
                                       .arg(ShownAddress(resource));
                 }
                 done(write);
                 return;
             }
             QString problem;
             const std::optional<QList<DavResource>> found =
                 ParseMultistatus(response.body, response.url, &problem);
             if (!found) {
                 write.failure = DavFailure::NotXml;
                 write.error = QStringLiteral("The server at %1 did not answer as a calendar "
                                              "server does (its reply for %2: %3).")
                                   .arg(ShownHost(resource), ShownAddress(resource), problem);
             } else if (const DavResource* here = resourceAt(*found, response.url);
                        here && here->status >= 200 && here->status < 300) {
                 write.etag = here->etag;
             } else {
                 write.status = 404;
             }
             done(write);
         });
}
