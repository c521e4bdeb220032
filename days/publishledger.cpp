#include "days/publishledger.h"

std::optional<QList<PublishedRecord>> MemoryPublishLedger::load(const QString& calendarUrl,
                                                                QString*) {
    QList<PublishedRecord> records;
    for (const Row& row : m_rows)
        if (row.calendarUrl == calendarUrl)
            records.append(row.record);
    return records;
}

bool MemoryPublishLedger::record(const QString& calendarUrl, const PublishedRecord& record,
                                 QString*) {
    for (Row& row : m_rows)
        if (row.calendarUrl == calendarUrl && row.record.uid == record.uid) {
            row.record = record;
            return true;
        }
    m_rows.append({calendarUrl, record});
    return true;
}

bool MemoryPublishLedger::forget(const QString& calendarUrl, const QString& uid, QString*) {
    m_rows.removeIf(
        [&](const Row& row) { return row.calendarUrl == calendarUrl && row.record.uid == uid; });
    return true;
}
