// Publishing the window's days to the calendar server the days file names (PublishChoices),
// in the background: at once when the dialog asks, and with "Keep it up to date" shortly after
// each change of the days and each Save. One publish runs at a time, a burst of changes makes
// one publish, a failure is tried again at growing intervals, and no timer runs while there is
// nothing to do. The password is read from the keyring for every publish and kept nowhere.
#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTimer>

class DaysFilePublishLedger;
class EntryStore;
class KeyringRequest;
class Publisher;
class Schedule;
struct PublishChoices;
struct PublishResult;

struct PublishingState {
    bool running = false;
    int changesSent = 0; // of the running publish, once the calendar was listed
    int changesToSend = 0;
    QDateTime lastTry;   // when the last publish ended, in UTC; invalid before the first
    QString failure;     // its one sentence when it failed; empty when it succeeded
    QDateTime published; // the last publish that succeeded, and how many events it holds
    int events = 0;
    QString summary;   // PublishResult::summary() of that publish
    QDateTime nextTry; // of the try after a failure; invalid when none waits
};

// The state as the dialog shows it: "Published 14:02 — 812 events", or what failed and when it
// is tried again. Times are local, in the locale's short form, with the date when not today.
QString PublishingStateText(const PublishingState& state, const QLocale& locale);

class Publishing : public QObject {
    Q_OBJECT

public:
    // The store and the schedule must outlive this object.
    Publishing(EntryStore& store, const Schedule& schedule, QObject* parent = nullptr);
    ~Publishing() override;

    const PublishingState& state() const { return m_state; }

    // Publishes now with the choices the days file holds (once the one running has ended).
    void publishNow();
    // The days changed or were saved: with "Keep it up to date", a publish follows shortly.
    void daysChanged();

    // The wait that gathers a burst of changes, and the waits before each try after a failure
    // (the last one repeats); tests shorten them.
    void setDelays(int gatherMs, const QList<int>& retryMs);
    bool isWaiting() const { return m_timer.isActive(); }

    static constexpr int GatherMs = 2000;
    static const QList<int> RetryMs; // 1, 5 and 30 minutes

signals:
    void stateChanged();

private:
    void start();
    void publishWithPassword(const PublishChoices& choices, const QString& password);
    void finish(const QString& failure, bool worthRetrying, const PublishResult* result);
    bool keptUpToDate() const;

    EntryStore& m_store;
    const Schedule& m_schedule;
    DaysFilePublishLedger* m_ledger = nullptr;
    Publisher* m_publisher = nullptr;
    KeyringRequest* m_keyring = nullptr;
    PublishingState m_state;
    QTimer m_timer;
    int m_gatherMs = GatherMs;
    QList<int> m_retryMs = RetryMs;
    int m_failuresInARow = 0;
    bool m_wantedAgain = false; // a change came while a publish ran
};
