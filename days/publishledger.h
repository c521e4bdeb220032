// What Tourwise remembers of the events it published to a calendar on a server, per calendar
// URL: for each event its UID, where it lives (href), the server's ETag and a hash of the text
// sent. The publisher asks it before a publish and tells it after each request that succeeded,
// so it stays true when a publish stops half way.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct PublishedRecord {
    QString uid;
    QString href;        // the event's URL on the server
    QString etag;        // as the server wrote it, quotes included; empty when it sent none
    QString contentHash; // of the event's text without its DTSTAMP

    friend bool operator==(const PublishedRecord&, const PublishedRecord&) = default;
};

class PublishLedger {
public:
    virtual ~PublishLedger() = default;

    // Every record of the calendar, or none with `error` set to one sentence.
    virtual std::optional<QList<PublishedRecord>> load(const QString& calendarUrl,
                                                       QString* error) = 0;
    // Adds the record or replaces the one of the same UID; false with `error` set on failure.
    virtual bool record(const QString& calendarUrl, const PublishedRecord& record,
                        QString* error) = 0;
    // Forgetting a UID that is not there succeeds.
    virtual bool forget(const QString& calendarUrl, const QString& uid, QString* error) = 0;
};

// Kept in memory only: for tests, and for a publish that need not remember.
class MemoryPublishLedger : public PublishLedger {
public:
    std::optional<QList<PublishedRecord>> load(const QString& calendarUrl, QString* error) override;
    bool record(const QString& calendarUrl, const PublishedRecord& record, QString* error) override;
    bool forget(const QString& calendarUrl, const QString& uid, QString* error) override;

private:
    struct Row {
        QString calendarUrl;
        PublishedRecord record;
    };
    QList<Row> m_rows;
};
