// The names of trade partners as the user has written them: one person however the case or the
// spaces of a name differ, and the names to offer when the next trade is recorded.
#pragma once

#include "days/dayfacts.h"

#include <QList>
#include <QString>
#include <QStringList>

// What tells two partners apart: the name without regard to case or spacing.
QString personKey(const QString& name);

// Every partner named in the days' trades, once each, the most recently recorded first, in the
// spelling of that latest entry.
QStringList recentPartnerNames(const QList<DayFacts>& daysWithEntries);
