// The hours as tables of text, one for each of the three lists, and the assignment history: the
// same rows for the command line, the dialog and the CSV file.
#pragma once

#include "days/assignmenthistory.h"
#include "days/hours.h"

#include <QList>
#include <QString>
#include <QStringList>

struct HoursTable {
    QStringList header; // the CSV names of the columns
    QList<QStringList> rows;
    QList<bool> numeric; // per column: right-aligned in the text table
    QList<bool> dates;   // per column: a day in ISO 8601, which a window shows in the locale's form
};

HoursTable payPeriodTable(const QList<PayPeriodHours>& periods);
HoursTable workPeriodTable(const QList<WorkPeriodHours>& periods);
// The CSV has the four amounts; `withOpen` adds a last column "open" for trades not yet even.
HoursTable tradeTable(const QList<TradeBalance>& ledger, bool withOpen = false);

inline constexpr auto OpenTradeText = "open";

// What a partner and the user owe each other, in words: "J. Smith worked 36 h for you: you owe
// 36 h", "You worked 12 h for K. Lee: K. Lee owes you 12 h".
QString tradeBalanceSentence(const TradeBalance& partner);

// The assignments and the days each held: no first day for the earliest, no last for the current.
HoursTable assignmentTable(const QList<AssignmentSpan>& spans);

// Comma-separated, one line per row ending in "\n", fields quoted only where they must be.
QString csvText(const HoursTable& table);
// Columns padded to their widest cell and two spaces apart, numbers to the right.
QString alignedText(const HoursTable& table);
