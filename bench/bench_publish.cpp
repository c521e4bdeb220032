// Publishing to a local Radicale (started here on a free loopback port with its own storage):
// the first publish of two years of B2 (about 500 events), a publish with nothing changed, one
// after one changed event, and one after a transfer to B5. Each is timed over whole publishes,
// fresh calendars each round, and prints the median with the requests sent.
// Usage: bench_publish [ROUNDS]   (default 5)
#include "core/calendar.h"
#include "export/caldavwait.h"
#include "export/calendarfile.h"
#include "export/publisher.h"
#include "rotation/rotation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "../tests/caldavservers.h"

namespace {

QList<PublishedEvent> eventsOf(const QString& assignment, const QDateTime& stamp,
                               bool changeOne = false) {
    Schedule days;
    days.setCurrentAssignment(assignment);
    QList<CalendarEvent> events =
        CalendarEvents(days, {serialFromYmd(2026, 1, 1), serialFromYmd(2027, 12, 31)}, {});
    if (changeOne) {
        events[100].summary += QStringLiteral(" (edited)");
        ++events[100].sequence;
    }
    return PublishedEventsOf({QStringLiteral("Velmora Fire"), CalendarProductId(), stamp}, events);
}

struct Figure {
    QList<double> milliseconds;
    int requests = 0;
    int events = 0;
    PublishCounts counts;
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    RadicaleServer radicale;
    if (!radicale.start(dir.filePath(QStringLiteral("radicale")))) {
        std::fprintf(stderr, "Radicale did not start: %s\n", qPrintable(radicale.log()));
        return 1;
    }
    CalDavAccount account;
    account.user = TestUser;
    account.password = TestPassword;
    const QDateTime stamp(QDate(2026, 3, 1), QTime(7, 0), Qt::UTC);
    const QStringList names{QStringLiteral("First publish of two years of B2"),
                            QStringLiteral("Publish with nothing changed"),
                            QStringLiteral("Publish after one changed event"),
                            QStringLiteral("Publish after a transfer from B2 to B5")};
    QList<Figure> figures(names.size());
    for (int round = 0; round < rounds; ++round) {
        const QUrl home = radicale.url(QStringLiteral("/tester/"));
        const CalDavDiscovery made =
            CreateCalendarAndWait(home, account, QStringLiteral("Bench %1").arg(round));
        if (!made.ok()) {
            // Nine calendars at most by that name: make the rest by hand.
            std::fprintf(stderr, "%s\n", qPrintable(made.error));
            return 1;
        }
        const QUrl calendar = made.calendars.first().url;
        MemoryPublishLedger ledger;
        const QList<QList<PublishedEvent>> sets{
            eventsOf(QStringLiteral("B2"), stamp), eventsOf(QStringLiteral("B2"), stamp.addDays(1)),
            eventsOf(QStringLiteral("B2"), stamp.addDays(2), true),
            eventsOf(QStringLiteral("B5"), stamp.addDays(3))};
        for (qsizetype step = 0; step < sets.size(); ++step) {
            QElapsedTimer timer;
            timer.start();
            const PublishResult result = PublishAndWait(calendar, account, sets.at(step), ledger);
            const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            if (!result.ok()) {
                std::fprintf(stderr, "%s\n", qPrintable(result.error));
                return 1;
            }
            figures[step].milliseconds.append(elapsed);
            figures[step].requests = result.requests;
            figures[step].events = result.events;
            figures[step].counts = result.counts;
        }
    }
    std::printf("| Figure (median of %d) | Time | Requests | Events (added, updated, removed, "
                "unchanged) |\n|---|---|---|---|\n",
                rounds);
    for (qsizetype step = 0; step < figures.size(); ++step) {
        const Figure& figure = figures.at(step);
        std::printf("| %s | %.0f ms | %d | %d (%d, %d, %d, %d) |\n", qPrintable(names.at(step)),
                    median(figure.milliseconds), figure.requests, figure.events,
                    figure.counts.added, figure.counts.updated, figure.counts.removed,
                    figure.counts.unchanged);
    }
    radicale.stop();
    return 0;
}
