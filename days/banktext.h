// The banks in words and as tables: the rows for the command line, the dialog and the CSV file,
// and what the day editor says a bank holds after a day.
#pragma once

#include "days/bankamount.h"
#include "days/bankledger.h"
#include "days/banks.h"
#include "days/hourstable.h"

#include <QList>
#include <QString>

// Header period,first,last,bank,opening,forfeited,used,earned,over_cap,accrued,closing.
HoursTable bankTable(const QList<BankPeriodRow>& rows);

// "Vacation would be 118 h after this day", "Vacation would be −12 h after this day" (a real
// minus sign); the editor warns when the amount is below zero.
QString bankAfterDayText(BankKind bank, Hundredths balance);
