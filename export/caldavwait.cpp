#include "export/caldavwait.h"

#include <QEventLoop>

namespace {

template <typename Result, typename Start> Result waitFor(Start start) {
    Result result;
    QEventLoop loop;
    start([&](const Result& finished) {
        result = finished;
        loop.quit();
    });
    loop.exec();
    return result;
}

} // namespace

CalDavDiscovery DiscoverAndWait(const QUrl& server, const CalDavAccount& account) {
    CalDavClient client(account);
    return waitFor<CalDavDiscovery>([&](auto done) { client.discover(server, done); });
}

CalDavDiscovery CreateCalendarAndWait(const QUrl& calendarHome, const CalDavAccount& account,
                                      const QString& displayName) {
    CalDavClient client(account);
    return waitFor<CalDavDiscovery>(
        [&](auto done) { client.createCalendar(calendarHome, displayName, done); });
}

PublishResult PublishAndWait(const QUrl& calendar, const CalDavAccount& account,
                             QList<PublishedEvent> events, PublishLedger& ledger) {
    Publisher publisher;
    return waitFor<PublishResult>([&](auto done) {
        QObject::connect(&publisher, &Publisher::finished, &publisher, done);
        publisher.publish(calendar, account, std::move(events), ledger);
    });
}
