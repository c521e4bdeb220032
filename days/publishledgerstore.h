// What was published to calendar servers, kept in the days file beside the user's entries, so
// it shares the file's checks, its migration and its daily backup. Every record or forget is one
// transaction. SQL of the table `published` lives here and in entryschema.cpp only.
#pragma once

#include "days/entrystore.h"
#include "days/publishledger.h"

class DaysFilePublishLedger : public PublishLedger {
public:
    // The store must outlive the ledger.
    explicit DaysFilePublishLedger(EntryStore& store) : m_store(store) {}

    std::optional<QList<PublishedRecord>> load(const QString& calendarUrl, QString* error) override;
    bool record(const QString& calendarUrl, const PublishedRecord& record, QString* error) override;
    bool forget(const QString& calendarUrl, const QString& uid, QString* error) override;

private:
    EntryStore& m_store;
};
