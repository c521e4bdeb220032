#include "dialogs/publishing.h"

#include "core/calendar.h"
#include "core/clock.h"
#include "days/dayfacts.h"
#include "days/entrystore.h"
#include "days/publishledgerstore.h"
#include "export/calendarevents.h"
#include "export/calendarfile.h"
#include "export/publisher.h"
#include "platform/keyring.h"

#include <QUrl>

#include <algorithm>

namespace {

// What the next try may mend by itself: a server that was down, slow or overloaded, a busy days
// file. A wrong password, a refused certificate or a missing calendar wait for the user.
bool worthRetrying(DavFailure failure) {
    switch (failure) {
    case DavFailure::Timeout:
    case DavFailure::Unreachable:
    case DavFailure::ConnectionLost:
    case DavFailure::ServerError:
    case DavFailure::NotXml:
    case DavFailure::TooLarge:
    case DavFailure::Refused:
    case DavFailure::Ledger:
        return true;
    default:
        return false;
    }
}

QString shownTime(const QDateTime& instant, const QLocale& locale) {
    const QDateTime local = instant.toLocalTime();
    const QString time = locale.toString(local.time(), QLocale::ShortFormat);
    if (local.date() == qdateFromSerial(today()))
        return time;
    return locale.toString(local.date(), QLocale::ShortFormat) + u' ' + time;
}

QString asSentence(const QString& text) {
    return text.endsWith(u'.') ? text : text + u'.';
}

const QString NoAssignment =
    QStringLiteral("Choose your crew and group on the Settings page and Save: without them there "
                   "are no duty days to publish.");

} // namespace

const QList<int> Publishing::RetryMs{60 * 1000, 5 * 60 * 1000, 30 * 60 * 1000};

QString PublishingStateText(const PublishingState& state, const QLocale& locale) {
    if (state.running)
        return state.changesToSend > 0 ? QStringLiteral("Publishing\u2026 %1 of %2 changes sent")
                                             .arg(state.changesSent)
                                             .arg(state.changesToSend)
                                       : QStringLiteral("Publishing\u2026");
    if (!state.lastTry.isValid())
        return QStringLiteral("Not published yet.");
    if (state.failure.isEmpty())
        return QStringLiteral("Published %1 \u2014 %2")
            .arg(shownTime(state.published, locale),
                 state.events == 1 ? QStringLiteral("1 event")
                                   : QStringLiteral("%1 events").arg(state.events));
    QString text = QStringLiteral("Not published at %1: %2")
                       .arg(shownTime(state.lastTry, locale), asSentence(state.failure));
    if (state.nextTry.isValid())
        text += QStringLiteral(" Trying again at %1.").arg(shownTime(state.nextTry, locale));
    return text;
}

Publishing::Publishing(EntryStore& store, const Schedule& schedule, QObject* parent)
    : QObject(parent), m_store(store), m_schedule(schedule) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Publishing::start);
}

Publishing::~Publishing() {
    // The publisher holds the ledger until it is gone.
    delete m_publisher;
    delete m_ledger;
}

void Publishing::setDelays(int gatherMs, const QList<int>& retryMs) {
    m_gatherMs = gatherMs;
    m_retryMs = retryMs.isEmpty() ? RetryMs : retryMs;
}

bool Publishing::keptUpToDate() const {
    const std::optional<PublishChoices> choices = m_store.publishChoices();
    return choices && choices->keepUpToDate && !choices->calendar.isEmpty();
}

void Publishing::publishNow() {
    if (m_state.running) {
        m_wantedAgain = true;
        return;
    }
    start();
}

void Publishing::daysChanged() {
    if (!keptUpToDate())
        return;
    if (m_state.running) {
        m_wantedAgain = true;
        return;
    }
    // Each change of a burst puts the publish off again; a retry waiting is brought forward.
    m_timer.start(m_gatherMs);
}

void Publishing::start() {
    m_timer.stop();
    const std::optional<PublishChoices> choices = m_store.publishChoices();
    if (!choices || choices->calendar.isEmpty())
        return;
    m_state.running = true;
    m_state.changesSent = 0;
    m_state.changesToSend = 0;
    emit stateChanged();
    m_keyring = Keyring::readPassword(QUrl(choices->server), choices->user, this);
    connect(m_keyring, &KeyringRequest::finished, this,
            [this, choices = *choices](const KeyringResult& answer) {
                m_keyring = nullptr;
                if (!answer.ok) {
                    finish(answer.error, false, nullptr);
                    return;
                }
                publishWithPassword(choices, answer.password);
            });
}

void Publishing::publishWithPassword(const PublishChoices& choices, const QString& password) {
    if (!IsSubGroup(m_schedule.currentAssignment())) {
        finish(NoAssignment, false, nullptr);
        return;
    }
    // A switch of the duty days' times must reach every device as an update.
    if (const StoreResult noted =
            m_store.noteDutyTiming(choices.timedShifts, DutyTimingOf::CalendarServer);
        !noted.ok) {
        finish(noted.error, true, nullptr);
        return;
    }
    CalendarContents contents;
    contents.paydays = choices.paydays;
    contents.payPeriodStarts = choices.payPeriodStarts;
    contents.timedShifts = choices.timedShifts;
    const QList<CalendarEvent> events =
        CalendarEvents(m_schedule, DefaultCalendarRange(today()), contents);
    // A server's calendar has a name of its own; the header's is not written.
    const CalendarFileHeader header{QString(), CalendarProductId(), nowUtc()};
    CalDavAccount account;
    account.user = choices.user;
    account.password = password;
    if (!m_publisher) {
        m_ledger = new DaysFilePublishLedger(m_store);
        m_publisher = new Publisher(this);
        connect(m_publisher, &Publisher::listed, this, [this](int, int changesToSend) {
            m_state.changesToSend = changesToSend;
            emit stateChanged();
        });
        connect(m_publisher, &Publisher::progress, this, [this](int changesSent, int) {
            m_state.changesSent = changesSent;
            emit stateChanged();
        });
        connect(m_publisher, &Publisher::finished, this, [this](const PublishResult& result) {
            finish(result.ok() ? QString() : result.error, worthRetrying(result.failure), &result);
        });
    }
    m_publisher->publish(QUrl(choices.calendar), account, PublishedEventsOf(header, events),
                         *m_ledger);
}

void Publishing::finish(const QString& failure, bool retry, const PublishResult* result) {
    m_state.running = false;
    m_state.lastTry = nowUtc();
    m_state.failure = failure;
    m_state.nextTry = QDateTime();
    if (failure.isEmpty()) {
        m_state.published = m_state.lastTry;
        m_state.events = result ? result->events : 0;
        m_state.summary = result ? result->summary() : QString();
        m_failuresInARow = 0;
    } else if (retry && keptUpToDate()) {
        const int wait = m_retryMs.at(std::min<qsizetype>(m_failuresInARow, m_retryMs.size() - 1));
        ++m_failuresInARow;
        m_state.nextTry = m_state.lastTry.addMSecs(wait);
        m_timer.start(wait);
    }
    if (m_wantedAgain) {
        // What changed while this one ran goes out after the usual gathering, retry or not.
        m_wantedAgain = false;
        m_timer.start(m_gatherMs);
        if (!failure.isEmpty())
            m_state.nextTry = m_state.lastTry.addMSecs(m_gatherMs);
    }
    emit stateChanged();
}
