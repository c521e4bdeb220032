#include "cli/publishcommand.h"

#include "core/clock.h"
#include "days/entrystore.h"
#include "days/publishledgerstore.h"
#include "export/caldavwait.h"
#include "export/davaddress.h"
#include "export/publisher.h"
#include "platform/keyring.h"
#include "platform/passwordfile.h"

#include <QEventLoop>
#include <QUrl>

namespace {

PublishOutcome failed(const QString& line, bool wrongUse = false) {
    return {false, wrongUse, line};
}

// The keyring answers by signal; a command may wait for it.
KeyringResult passwordFromKeyring(const QUrl& server, const QString& user) {
    KeyringResult result;
    QEventLoop loop;
    KeyringRequest* request = Keyring::readPassword(server, user, &loop);
    QObject::connect(request, &KeyringRequest::finished, &loop, [&](const KeyringResult& answer) {
        result = answer;
        loop.quit();
    });
    loop.exec();
    return result;
}

} // namespace

PublishOutcome PublishFromCommandLine(const PublishRequest& request, EntryStore& store) {
    const QUrl address = QUrl::fromUserInput(request.address);
    if (!address.isValid() || address.host().isEmpty())
        return failed(QStringLiteral("--publish: '%1' is not the address of a calendar server")
                          .arg(request.address),
                      true);
    if (const QString refused = RefusedAddress(address); !refused.isEmpty())
        return failed(refused);
    if (request.user.isEmpty())
        return failed(QStringLiteral("--publish needs --user NAME, the calendar server's user"),
                      true);

    CalDavAccount account;
    account.user = request.user;
    if (!request.passwordFile.isEmpty()) {
        const PasswordFileResult password = ReadPasswordFile(request.passwordFile);
        if (!password.ok)
            return failed(password.error);
        account.password = password.password;
    } else {
        const KeyringResult password = passwordFromKeyring(address, request.user);
        if (!password.ok)
            return failed(password.notFound
                              ? QStringLiteral("The keyring holds no password for %1 at %2: "
                                               "publish once from the window, or give "
                                               "--password-file FILE")
                                    .arg(request.user, address.host())
                              : password.error);
        account.password = password.password;
    }
    if (!request.caFile.isEmpty()) {
        QString error;
        const QList<QSslCertificate> authority = ReadCertificateAuthority(request.caFile, &error);
        if (authority.isEmpty())
            return failed(error);
        account.extraAuthorities = authority;
    }

    // The address may be the calendar itself, or a server whose calendars are searched for ours.
    CalDavDiscovery found = DiscoverAndWait(address, account);
    if (!found.ok())
        return failed(found.error);
    QUrl calendar;
    if (found.calendarHome.isEmpty() && found.calendars.size() == 1)
        calendar = found.calendars.first().url;
    for (const CalDavCalendar& candidate : found.calendars)
        if (calendar.isEmpty() && candidate.displayName == QLatin1StringView(TourwiseCalendarName))
            calendar = candidate.url;
    if (calendar.isEmpty()) {
        if (found.calendarHome.isEmpty())
            return failed(
                QStringLiteral("%1 holds no calendar to publish to").arg(request.address));
        const CalDavDiscovery made = CreateCalendarAndWait(found.calendarHome, account);
        if (!made.ok() || made.calendars.isEmpty())
            return failed(made.error);
        calendar = made.calendars.first().url;
    }

    // A switch of the duty days' times must reach every device as an update.
    if (const StoreResult noted = store.noteDutyTiming(request.calendar.contents.timedShifts);
        !noted.ok)
        return failed(noted.error);
    const QList<CalendarEvent> events = CalendarEvents(
        *request.calendar.schedule, request.calendar.range, request.calendar.contents);
    const CalendarFileHeader header{request.calendar.agency, CalendarProductId(), nowUtc()};
    DaysFilePublishLedger ledger(store);
    const PublishResult result =
        PublishAndWait(calendar, account, PublishedEventsOf(header, events), ledger);
    return {result.ok(), false, result.summary()};
}
