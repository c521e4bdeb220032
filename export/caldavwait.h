// The calendar server's work for the command line, which may wait: each runs a local event loop
// until its result is there (every request has its time limit). The window never calls these.
#pragma once

#include "days/publishledger.h"
#include "export/caldavclient.h"
#include "export/publisher.h"

CalDavDiscovery DiscoverAndWait(const QUrl& server, const CalDavAccount& account);
CalDavDiscovery CreateCalendarAndWait(const QUrl& calendarHome, const CalDavAccount& account,
                                      const QString& displayName = TourwiseCalendarName);
PublishResult PublishAndWait(const QUrl& calendar, const CalDavAccount& account,
                             QList<PublishedEvent> events, PublishLedger& ledger);
